// Automatic factory while no plan reader is built into the library: every
// plan is refused with a diagnostic, and no engine is handed out. The plan
// reader replaces this file.
#include "../diagnostic.h"
#include "zarvel3d/zarvel3d.h"

namespace Zarvel3D
{

namespace
{

const char* const texte_absent = "Lecture des plans absente.";

class ZarvelAutoAttente final : public ZarvelAuto
{
public:
    bool ValideInit() const override { return false; }
    bool Genere() override { return false; }
    const Zarvel* ZarvelConst() const override { return nullptr; }
    Zarvel* ZarvelPtr() override { return nullptr; }
    const char* Diagnostic() const override { return texte_absent; }
};

} // namespace

ZarvelAuto::~ZarvelAuto() = default;

ZarvelAuto* ZarvelAuto::Construct(const char*, modezarvel_t)
{
    interne::DefDiagnostic(texte_absent);
    return new ZarvelAutoAttente;
}

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel&)
{
    return Construct(chemin, mode);
}

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel&, double,
                                  Zarvel* moteur)
{
    // The engine handed over belongs to this object, which has no use for it.
    delete moteur;
    return Construct(chemin, mode);
}

} // namespace Zarvel3D

// Placeholder engine, so that Zarvel::Construct and ZarvelAuto::Construct link before the
// Open CASCADE engine exists. It records nothing and every generation fails with a
// diagnostic. Delete this whole file when the real engine (src/engine/, src/occt/) defines
// these symbols.
#include "diagnostic.h"
#include "zarvel3d/zarvel3d.h"

#include <string>

namespace Zarvel3D
{

namespace
{

const char* const texte_absent = "Moteur de conversion absent.";

class ZarvelAttente final : public Zarvel
{
public:
  explicit ZarvelAttente(PScene3D* scene) : externe(scene) {}
  bool AjoutLigne(int, const Point2D&, const Point2D&, const AttributsLigne&, int, int) override
  {
    return false;
  }
  bool AjoutEllipse(int, const Point2D&, double, double, double, double, double,
                    const AttributsLigne&, int) override
  {
    return false;
  }
  bool AjoutPoint(int, const Point2D&) override { return false; }
  int Generation(modezarvel_t, double) override
  {
    interne::DefDiagnostic(texte_absent);
    return ZARVEL_ERREUR_INTERNE;
  }
  PScene3D* ScenePtr() override { return externe != nullptr ? externe : &propre; }
  const PScene3D& Scene() const override { return externe != nullptr ? *externe : propre; }
  const char* Diagnostic() const override { return texte_absent; }

private:
  PScene3D* externe;
  PScene3D propre;
};

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

Zarvel::~Zarvel() = default;
ZarvelAuto::~ZarvelAuto() = default;

Zarvel* Zarvel::Construct(const ParametresZarvel&, PScene3D* scene)
{
  return new ZarvelAttente(scene);
}

ZarvelAuto* ZarvelAuto::Construct(const char*, modezarvel_t)
{
  interne::DefDiagnostic(texte_absent);
  return new ZarvelAutoAttente;
}

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel&)
{
  return Construct(chemin, mode);
}

} // namespace Zarvel3D

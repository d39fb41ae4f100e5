// Entry point of the STEP writer module libZarvel3D_step.so.1 (why it is apart: see step.h). The
// kernel's own exceptions are caught here, where its headers are known.

#include "diagnostic.h"
#include "step.h"

#include <Standard_Failure.hxx>
#include <TopoDS_Shape.hxx>

#include <IFSelect_ReturnStatus.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <STEPControl_Writer.hxx>
#include <utility>
#include <vector>

namespace Zarvel3D::step
{

namespace
{

// The kernel's translators report their statistics through the default messenger, on the
// standard output by default; the library prints nothing, so its printers are held to failures
// for the time of a translation and restored afterwards.
class SilenceNoyau
{
public:
    SilenceNoyau()
    {
        const Message_SequenceOfPrinters& imprimantes = Message::DefaultMessenger()->Printers();
        for (Message_SequenceOfPrinters::Iterator i(imprimantes); i.More(); i.Next())
        {
            niveaux.emplace_back(i.Value(), i.Value()->GetTraceLevel());
            i.Value()->SetTraceLevel(Message_Fail);
        }
    }
    ~SilenceNoyau()
    {
        for (auto& n : niveaux)
            n.first->SetTraceLevel(n.second);
    }
    SilenceNoyau(const SilenceNoyau&) = delete;
    SilenceNoyau& operator=(const SilenceNoyau&) = delete;

private:
    std::vector<std::pair<Handle(Message_Printer), Message_Gravity>> niveaux;
};

bool Ecriture(const void* solide, const char* chemin, std::string& erreur)
{
    try
    {
        const SilenceNoyau silence;
        STEPControl_Writer ecrivain;
        return ecrivain.Transfer(*static_cast<const TopoDS_Shape*>(solide), STEPControl_AsIs) ==
                   IFSelect_RetDone &&
               ecrivain.Write(chemin) == IFSelect_RetDone;
    }
    catch (const Standard_Failure& e)
    {
        erreur = interne::Texte(interne::Message::ErreurNoyau, e.GetMessageString());
        return false;
    }
}

} // namespace

} // namespace Zarvel3D::step

const Zarvel3D::step::TableStep* ZarvelTableStep()
{
    static const Zarvel3D::step::TableStep table = {sizeof(Zarvel3D::step::TableStep),
                                                    Zarvel3D::step::version_table, Zarvel3D::step::Ecriture};
    return &table;
}

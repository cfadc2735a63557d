// A whole-process blank run as the window does it: start-up, "Moduli in
// bianco" ticked, N pages, printed on the built-in PDF writer into the current
// folder. Used by misura.sh to time the program; not installed.

#include "app/ModelloFinestra.h"
#include "print/Stampanti.h"
#include "support/ServiziFinti.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {
// Yes to the confirmation; the document saved in the current folder.
class DialoghiBench : public vagolume::DialoghiFinti {
public:
    QString SalvaFile(const QString&, const QString& proposto) override {
        return QDir::current().filePath(QFileInfo(proposto).fileName());
    }
};
} // namespace

using namespace vagolume;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString copie = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("99");
    DialoghiBench dialoghi;
    dialoghi.rispostaFinale = true;
    PiattaformaFinta piattaforma;
    FineProcesso fine;
    fine.CartellaLavoro = QDir::currentPath();
    ModelloFinestra finestra(dialoghi, piattaforma, fine);
    finestra.ImpostaStampanteCorrente(kScrittorePdf);
    finestra.Form_Load(QDate::currentDate(), QString(), QByteArrayLiteral("/nonexistent"));
    finestra.chkBianco.Spuntato = true;
    finestra.chkBianco_Click();
    finestra.cmbCopie.Testo = copie;
    finestra.Dialogo.AvviaStampa();
    return finestra.Dialogo.UltimoEsito.Consegnato() ? 0 : 1;
}

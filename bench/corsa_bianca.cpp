// A whole-process blank run as the window does it: start-up, "Moduli in
// bianco" ticked, N pages, printed on the built-in PDF writer into the current
// folder. Used by misura.sh to time the program; not installed.

#include "app/ModelloFinestra.h"
#include "print/Stampanti.h"

#include <QApplication>
#include <QDir>

using namespace vagolume;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString copie = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("99");
    Servizi servizi;
    servizi.DomandaSiNo = [](const QString&, const QString&) { return true; };
    servizi.CartellaLavoro = QDir::currentPath();
    ModelloFinestra finestra(servizi);
    finestra.ImpostaStampanteCorrente(kNomeScrittorePdf);
    finestra.Form_Load(QDate::currentDate(), QString(), QByteArrayLiteral("/nonexistent"));
    finestra.chkBianco.Spuntato = true;
    finestra.chkBianco_Click();
    finestra.cmbCopie.Testo = copie;
    finestra.AvviaStampa();
    return finestra.UltimoEsito.Consegnato() ? 0 : 1;
}

#include "app/ServiziQt.h"

#include "print/Stampanti.h"
#include "run/Sistema.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpacerItem>

#include <memory>
#include <unistd.h>

namespace vagolume {

namespace {

// A message box at least as wide as its title needs in a title bar, beside
// the window manager's icon and buttons.
std::unique_ptr<QMessageBox> CreaBox(QWidget* padre, QMessageBox::Icon icona, const QString& titolo,
                                     const QString& testo, QMessageBox::StandardButtons bottoni) {
    QString visibile = testo;
    visibile.replace(u'\r', u'\n');
    auto box = std::make_unique<QMessageBox>(icona, titolo, visibile, bottoni, padre);
    QFont grassetto = box->font();
    grassetto.setBold(true);
    const int larghezza = QFontMetrics(grassetto).horizontalAdvance(titolo) + 160;
    if (auto* griglia = qobject_cast<QGridLayout*>(box->layout()))
        griglia->addItem(new QSpacerItem(larghezza, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                         griglia->rowCount(), 0, 1, griglia->columnCount());
    return box;
}

// Shows a box and waits for it. daAprire: a file that "&Apri" is offered for;
// *aperto then tells whether "&Apri" closed the box. A question's Enter is
// "&Sì", or "&No" where noPredefinito.
QMessageBox::StandardButton Chiedi(QWidget* padre, QMessageBox::Icon icona, const QString& titolo,
                                   const QString& testo, QMessageBox::StandardButtons bottoni,
                                   const QString& daAprire = QString(), bool* aperto = nullptr,
                                   bool noPredefinito = false) {
    const auto box = CreaBox(padre, icona, titolo, testo, bottoni);
    QPushButton* apri = nullptr;
    if (!daAprire.isEmpty()) {
        apri = box->addButton(QStringLiteral("&Apri"), QMessageBox::ActionRole);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    if (bottoni & QMessageBox::Yes) {
        box->button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
        box->button(QMessageBox::No)->setText(QStringLiteral("&No"));
        box->setDefaultButton(noPredefinito ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    }
    const auto risposta = static_cast<QMessageBox::StandardButton>(box->exec());
    if (aperto) *aperto = apri && box->clickedButton() == apri;
    // Back to the window, also where no window manager does it.
    if (padre && padre->isVisible()) padre->activateWindow();
    return risposta;
}

} // namespace

void DialoghiQt::TornaAllaFinestra() const {
    if (finestra_ && finestra_->isVisible()) finestra_->activateWindow();
}

bool DialoghiQt::DomandaSiNo(const QString& titolo, const QString& testo, bool noPredefinito) {
    return Chiedi(finestra_, QMessageBox::NoIcon, titolo, testo, QMessageBox::Yes | QMessageBox::No, {},
                  nullptr, noPredefinito) == QMessageBox::Yes;
}

void DialoghiQt::Informazione(const QString& titolo, const QString& testo, bool senzaAttesa) {
    if (!senzaAttesa) {
        Chiedi(finestra_, QMessageBox::Information, titolo, testo, QMessageBox::Ok);
        return;
    }
    QMessageBox* box = CreaBox(finestra_, QMessageBox::Information, titolo, testo, QMessageBox::Ok).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool DialoghiQt::InformazioneFile(const QString& titolo, const QString& testo, const QString& file) {
    bool aperto = false;
    Chiedi(finestra_, QMessageBox::Information, titolo, testo, QMessageBox::Ok, file, &aperto);
    return aperto;
}

bool DialoghiQt::Avvertimento(const QString& titolo, const QString& testo, const QString& file) {
    bool aperto = false;
    Chiedi(finestra_, QMessageBox::Warning, titolo, testo, QMessageBox::Ok, file, &aperto);
    return aperto;
}

void DialoghiQt::ApriFile(const QString& file, std::function<void()> nonAperto) {
    // xdg-open finds the desktop's viewer and fails when there is none. It
    // is never ended by this program: on some desktops it lasts as long as
    // the viewer.
    auto* apertura = new QProcess;
    apertura->setStandardInputFile(QProcess::nullDevice());
    apertura->setStandardOutputFile(QProcess::nullDevice());
    apertura->setStandardErrorFile(QProcess::nullDevice());
    QObject* contesto = finestra_ ? static_cast<QObject*>(finestra_.data()) : qApp;
    QObject::connect(apertura, &QProcess::errorOccurred, contesto,
                     [apertura, nonAperto](QProcess::ProcessError e) {
                         if (e != QProcess::FailedToStart) return;
                         apertura->deleteLater();
                         nonAperto();
                     });
    QObject::connect(apertura, &QProcess::finished, contesto,
                     [apertura, nonAperto](int codice, QProcess::ExitStatus stato) {
                         apertura->deleteLater();
                         if (stato != QProcess::NormalExit || codice != 0) nonAperto();
                     });
    // A file in a folder named in bytes that are not UTF-8 goes as a file
    // URL of those bytes: its path as text would name nothing.
    QString argomento = file;
    if (!QFileInfo::exists(file)) {
        const QByteArray byte = FileSuDisco(file);
        if (::access(byte.constData(), F_OK) == 0)
            argomento = QString::fromLatin1("file://" + byte.toPercentEncoding("/"));
    }
    apertura->start(QStringLiteral("xdg-open"), {argomento});
}

QString DialoghiQt::SalvaFile(const QString& titolo, const QString& proposto) {
    // It adds ".pdf" to a name without an extension before asking about
    // overwriting.
    QFileDialog dialogo(finestra_, titolo, QFileInfo(proposto).absolutePath(),
                        QStringLiteral("Documenti PDF (*.pdf)"));
    // Qt's own dialog on every desktop: it knows the suffix it adds, so it
    // asks about the very file that would be replaced (a desktop's own dialog
    // asks about the name as typed, and Qt adds ".pdf" only once it closed).
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setDefaultSuffix(QStringLiteral("pdf"));
    dialogo.selectFile(QFileInfo(proposto).fileName());
    const bool scelto = dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty();
    TornaAllaFinestra();
    return scelto ? dialogo.selectedFiles().first() : QString();
}

bool DialoghiQt::Anteprima(Pagine& pagine, const QPageLayout& layout, const RichiestaStampa& richiesta) {
    vagolume::Anteprima anteprima(pagine, layout, finestra_, &anteprima_,
                                  {richiesta.NomeDocumento, richiesta.Pagine});
    const bool stampa = anteprima.exec() == QDialog::Accepted;
    // Back to the printer panel, also where no window manager does it.
    TornaAllaFinestra();
    return stampa;
}

StatoStampanti PiattaformaQt::Stampanti() {
    return LeggiStampanti();
}

QPageLayout PiattaformaQt::Impaginazione(const QString& stampante) {
    return CreaStampante(stampante)->Impaginazione();
}

LatiCoda PiattaformaQt::FronteRetro(const QString& stampante) {
    return LatiDellaCoda(stampante);
}

QString PiattaformaQt::MessaggioStampante(const QString& stampante) {
    return vagolume::MessaggioStampante(stampante);
}

void PiattaformaQt::ElaboraEventi() {
    QApplication::processEvents();
}

void PiattaformaQt::Occupato(bool occupato) {
    if (!occupato) {
        QApplication::restoreOverrideCursor();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // What the window says meanwhile is drawn before the wait; the user's
    // keys and clicks wait for its end.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace vagolume

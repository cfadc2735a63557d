// Times the print preview in the real window: from the click on "Ante&prima"
// to the first page painted, and from Page Down to the next page painted,
// for a trip of a year and one of three days, and for the year with the strip
// of thumbnails shown (the time runs until the whole window is painted,
// thumbnails included). Prints the first opening and the median, lowest and
// highest of the following rounds.
//
// usage: bench_anteprima [ROUNDS]   (offscreen unless DISPLAY is set)

#include "app/Anteprima.h"
#include "app/ServiziQt.h"
#include "app/frmbase.h"
#include "print/Stampanti.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vagolume;

namespace {

constexpr int kAttesaTasto = 300; // ms from the first page to Page Down

struct Misure {
    std::vector<double> apertura, cambio; // milliseconds
};

// One round: the printer panel, "Ante&prima", then Page Down (Up) once the first
// page is on screen, then the preview is closed (and opens next time on the
// page it then had).
class Giro : public QObject {
public:
    Giro(frmbase& finestra, Misure& misure, bool miniature)
        : finestra_(finestra), misure_(misure), miniature_(miniature) {
        qApp->installEventFilter(this);
    }
    ~Giro() override { qApp->removeEventFilter(this); }

    void Esegui() {
        finestra_.Modello().cmdStampa_Click();
        primo_ = cambio_ = -1;
        orologio_.start();
        // Returns when the preview is closed.
        finestra_.findChild<QPushButton*>(QStringLiteral("cmdAnteprima"))->click();
        misure_.apertura.push_back(primo_);
        misure_.cambio.push_back(cambio_);
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        // Each preview is a new window: its sheet is watched from its first polish.
        if (auto* anteprima = qobject_cast<Anteprima*>(oggetto);
            anteprima && evento->type() == QEvent::Polish)
            anteprima->MostraMiniature(miniature_);
        auto* foglio = qobject_cast<FoglioAnteprima*>(oggetto);
        if (foglio && evento->type() == QEvent::Polish && foglio != osservato_) {
            osservato_ = foglio;
            connect(foglio, &FoglioAnteprima::Mostrata, this,
                    [this, foglio](int pagina) { Mostrata(foglio, pagina); });
        }
        return false;
    }

private:
    void Mostrata(FoglioAnteprima* foglio, int pagina) {
        // Timed once the whole window is painted: the thumbnails too.
        QTimer::singleShot(0, foglio, [this, foglio, pagina] { Dipinta(foglio, pagina); });
    }
    void Dipinta(FoglioAnteprima* foglio, int pagina) {
        const double ms = static_cast<double>(orologio_.nsecsElapsed()) / 1e6;
        // The preview opens on the page it had when it closed.
        if (primo_ < 0) {
            primo_ = ms;
            aperta_ = pagina;
            // Page Down a moment later, as a person would press it.
            QTimer::singleShot(kAttesaTasto, foglio, [this, foglio] {
                orologio_.restart();
                // Page Up from the last page.
                auto* anteprima = qobject_cast<Anteprima*>(foglio->window());
                const bool ultima = anteprima && !anteprima->cmdSuccessiva->isEnabled();
                QCoreApplication::postEvent(foglio->window(),
                                            new QKeyEvent(QEvent::KeyPress,
                                                          ultima ? Qt::Key_PageUp : Qt::Key_PageDown,
                                                          Qt::NoModifier));
            });
        } else if (pagina != aperta_ && cambio_ < 0) {
            cambio_ = ms;
            QMetaObject::invokeMethod(foglio->window(), "reject", Qt::QueuedConnection);
        }
    }

    frmbase& finestra_;
    Misure& misure_;
    QElapsedTimer orologio_;
    double primo_ = -1, cambio_ = -1;
    int aperta_ = 0; // the page it opened on
    bool miniature_ = false;
    QObject* osservato_ = nullptr;
};

void Periodo(ModelloFinestra& m, const QString& inizio, const QString& fine) {
    m.txtLocalita.Testo = QStringLiteral("ROMA");
    m.cmbg1.Testo = inizio.left(2);
    m.cmbm1.Testo = inizio.mid(2, 2);
    m.cmba1.Testo = inizio.mid(4);
    m.cmbg2.Testo = fine.left(2);
    m.cmbm2.Testo = fine.mid(2, 2);
    m.cmba2.Testo = fine.mid(4);
    m.cmbData_Click();
}

void Riga(const char* nome, std::vector<double> v) {
    const double primo = v.front();
    v.erase(v.begin());
    std::sort(v.begin(), v.end());
    std::printf("%-46s first %7.1f ms   median %7.1f ms   (%.1f to %.1f, %zu rounds)\n", nome, primo,
                v[v.size() / 2], v.front(), v.back(), v.size());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int giri = std::max(2, argc > 1 ? std::atoi(argv[1]) : 15);
    QTemporaryDir cartella;
    QDir::setCurrent(cartella.path());

    // Qt's own preview; no printers, and No to every question.
    struct : DialoghiQt {
        bool DomandaSiNo(const QString&, const QString&, bool) override { return false; }
    } dialoghi;
    struct : PiattaformaQt {
        StatoStampanti Stampanti() override { return {}; }
    } piattaforma;
    FineProcesso fine;
    fine.CartellaLavoro = cartella.path();
    frmbase finestra(dialoghi, piattaforma, fine);
    dialoghi.ImpostaFinestra(&finestra);
    finestra.Modello().ImpostaStampanteCorrente(kScrittorePdf);
    finestra.Form_Load(QDate::currentDate(), QString(), QFile::encodeName(cartella.path()));
    finestra.show();
    QApplication::processEvents();

    const QString anno = QString::number(QDate::currentDate().year() + 1);
    struct {
        const char* nome;
        QString inizio, fine;
        bool miniature;
    } const periodi[] = {
        {"365 days", QStringLiteral("0101") + anno, QStringLiteral("3112") + anno, false},
        {"3 days", QStringLiteral("0101") + anno, QStringLiteral("0301") + anno, false},
        {"365 days, thumbnails", QStringLiteral("0101") + anno, QStringLiteral("3112") + anno, true},
    };
    std::printf("print preview in the window (%s), %d rounds\n", qPrintable(QGuiApplication::platformName()),
                giri);
    for (const auto& p : periodi) {
        Periodo(finestra.Modello(), p.inizio, p.fine);
        Misure misure;
        Giro giro(finestra, misure, p.miniature);
        for (int i = 0; i < giri; ++i)
            giro.Esegui();
        Riga(qPrintable(QStringLiteral("%1: button to first page").arg(QLatin1String(p.nome))),
             misure.apertura);
        Riga(qPrintable(QStringLiteral("%1: Page Down to next page").arg(QLatin1String(p.nome))),
             misure.cambio);
    }
    return 0;
}

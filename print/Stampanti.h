#pragma once
// The printers a run can go to: the system's installed printers (CUPS queues)
// and the built-in PDF writer. Every run is drawn into a temporary PDF file and
// handed to its printer only when the document ends, so that a cancelled run
// leaves nothing behind.

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

namespace vagolume {

// Bound of the whole hand-over of a document to a queue: connecting, sending
// the document, the server's answer.
inline constexpr auto kAttesaConsegna = std::chrono::seconds(30);

// The built-in PDF writer among the printers: its identity in requests and
// in the list of printers, which no CUPS queue can have (a queue's name never
// holds "#"), and the text the user reads for it.
inline const QString kScrittorePdf = QStringLiteral("#pdf");
inline const QString kNomeScrittorePdf = QStringLiteral("Salva come file PDF");
// A printer as the user reads it: a queue's own name, or the PDF writer's text.
QString NomeDaMostrare(const QString& stampante);

// A4 portrait with these margins, in millimetres.
QPageLayout A4ConMargini(QMarginsF margini);

class Stampante {
public:
    virtual ~Stampante() = default;
    virtual QString Nome() const = 0;
    // A4 portrait with the printer's margins; the printable area is what the
    // pages are laid out in.
    virtual QPageLayout Impaginazione() const = 0;
    // Folder for the temporary PDF the run is drawn into.
    virtual QString CartellaTemporanea() const = 0;
    // Hands the finished PDF over (the file is removed by the caller). Returns
    // false with a readable reason on failure.
    virtual bool Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) = 0;
    // The file the last hand-over wrote, for a printer that writes files.
    virtual QString FileScritto() const { return {}; }
    // A printer that writes files (the PDF writer), not a print queue.
    virtual bool ScriveFile() const { return false; }

    // How the last hand-over that failed ended: refused or cut short with no
    // job made (Rifiutata), stopped on request with no job made (Fermata), or
    // sent whole without an answer, so that the printer may still print it
    // (Incerta).
    enum class Mancata { Rifiutata, Fermata, Incerta };
    Mancata ComeMancata() const { return mancata_; }
    // Called every fraction of a second while a hand-over waits for its
    // printer; false asks it to stop.
    void ImpostaAttesa(std::function<bool()> attesa) { attesa_ = std::move(attesa); }

protected:
    std::function<bool()> attesa_;
    Mancata mancata_ = Mancata::Rifiutata;
};

// Writes "<document name>.pdf" into a folder (the current working directory),
// never overwriting: " (2)", " (3)"... are added before ".pdf". When the user
// chose a file in the save dialog (fileScelto), that file is written instead,
// replacing it: the dialog asked first. The document is then drawn in the
// chosen file's folder, so that it ends up there on the same file system.
class ScrittorePdf : public Stampante {
public:
    explicit ScrittorePdf(QString cartella, QString fileScelto = {});
    QString Nome() const override { return kNomeScrittorePdf; }
    bool ScriveFile() const override { return true; }
    QPageLayout Impaginazione() const override;
    QString CartellaTemporanea() const override;
    bool Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) override;
    // File name written by the last successful Consegna.
    QString FileScritto() const override { return ultimoFile_; }

private:
    QString cartella_;
    QString fileScelto_;
    QString ultimoFile_;
};

// What a job asks of a queue beyond the document: collated copies, both
// sides of the paper (turned on the long edge).
struct OpzioniLavoro {
    int Copie = 1;
    bool FronteRetro = false;
    // The sides were chosen (the window's box): one side is asked for too.
    // Otherwise the queue's own default holds.
    bool LatiScelti = false;
};

// A CUPS queue: the pages are laid out in the printable area the queue gives
// for A4 (at least 5 mm from each edge) and the PDF is submitted through
// libcups, A4, not scaled, with the document name as the job title. The
// hand-over is bounded by kAttesaConsegna in all and ends with the job made
// whole or with no job at all (see Mancata). Copies and two-sided printing
// are asked for only when they differ from one copy, one side.
class CodaCups : public Stampante {
public:
    explicit CodaCups(QString nome, OpzioniLavoro opzioni = {});
    QString Nome() const override { return nome_; }
    QPageLayout Impaginazione() const override;
    QString CartellaTemporanea() const override;
    bool Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) override;

private:
    QString nome_;
    OpzioniLavoro opzioni_;
};

// Whether a queue prints on both sides of the paper (its sides-supported);
// false for the PDF writer, and when the printing system does not answer
// within a few seconds.
bool FronteRetroPossibile(const QString& stampante);
// What a queue does with the sides of the paper: whether it can print on
// both, and whether it does unless told (its sides-default).
struct LatiCoda {
    bool Possibile = false;
    bool Predefinito = false;
};
LatiCoda LatiDellaCoda(const QString& stampante);

// What a queue says of itself (its printer-state-message, such as the reason
// its administrator gave for stopping it); empty for none, for the PDF
// writer, and when the printing system does not answer within a few seconds.
QString MessaggioStampante(const QString& stampante);

// A file name made safe from a document name: no path separators, no control
// characters, no leading dots or underscores, no "_" doubled, never empty
// (".._Vagolume" is "Vagolume", ".._.._x_Vagolume" is "x_Vagolume").
QString NomeFileSicuro(const QString& nomeDocumento);

// What the printing system says in one query: the installed printers in the
// order it gives them and its default printer, resolved as its own commands
// resolve it (empty when none is set). A
// printing system that does not answer within a few seconds counts as one
// without printers (Risponde false); the query never blocks for longer.
struct StatoStampanti {
    QStringList Installate;
    QString Predefinita;
    bool Risponde = true;
    // The default the user set (LPDEST, PRINTER, "Default" in lpoptions), as
    // written, when it names no installed queue ("queue/instance" names the
    // queue, as for lp); empty otherwise. A default set to an empty name is
    // said on standard error at once.
    QString PredefinitaMancante;
};
StatoStampanti LeggiStampanti();

// The installed printers, asked again each time.
QStringList StampantiInstallate();

// The list the printer panel shows: the installed printers, in the order
// given, followed by the built-in PDF writer.
QStringList ElencoStampanti(QStringList installate);

// The printer of a name: the PDF writer (writing into cartella, or the file
// fileScelto when one was chosen; one file, whatever opzioni say) or an
// installed queue.
std::unique_ptr<Stampante> CreaStampante(const QString& nome, const QString& cartella = {},
                                         const QString& fileScelto = {}, OpzioniLavoro opzioni = {});

// Gives a finished file (a path, or /proc/self/fd/N for a file that has no
// name yet) the name destinazione. Without sostituisci the name must be free
// (errno EEXIST otherwise), and no other file ever loses it; with it, an old
// file of that name is replaced at once, never leaving half of either.
// Returns false with errno set.
bool DaiNome(const QByteArray& sorgente, const QByteArray& destinazione, bool sostituisci);

} // namespace vagolume

#include "app/ControlliFinestra.h"

namespace vagolume {

namespace {

constexpr const char* kInizio = "Indica giorno, mese ed anno di inizio dell'itinerario";
constexpr const char* kFine = "Indica giorno, mese ed anno di fine dell'itinerario";
constexpr const char* kPagine = "Le pagine da stampare, contate come nell'anteprima (la copertina è la 1): "
                                "4, 3-5 o 1,4-6; vuoto o «tutte»: tutto il documento";
constexpr Qt::Alignment kDestra = Qt::AlignRight;
constexpr Qt::Alignment kCentro = Qt::AlignCenter;
using M = ModelloFinestra;
using P = DialogoStampa;
using G = Genere;

// The day and month lists stop short of their neighbours instead of
// overlapping them by 70 twips, so that no arrow is covered. The printer
// panel has "Ante&prima" between "S&tampa" and "&Rinuncia", the three as
// wide as the list together; between the list and them, the pages, the
// copies and two-sided printing of the run. "&Fine" and "&?" never take Enter, so that it
// neither ends the program nor opens the help by surprise: with the focus on
// them it goes to "&Stampa"; Space still presses them.
// clang-format off
const DescrizioneControllo kControlli[] = {
    {.Nome = "frmLocalita", .Tipo = G::Cornice, .Contenitore = "", .Rettangolo = {120, 120, 5115, 735},
     .Didascalia = "D&estinazione:", .Punti = 9.75, .Grassetto = true, .Stato = &M::frmLocalita,
     .NomeAccessibile = "Destinazione", .DescrizioneAccessibile = "Dove è diretto il viaggio"},
    {.Nome = "txtLocalita", .Tipo = G::CasellaTesto, .Contenitore = "frmLocalita",
     .Rettangolo = {120, 240, 4845, 420}, .Punti = 13.5, .Grassetto = true, .LunghezzaMassima = 50,
     .Stato = &M::txtLocalita,
     .NomeAccessibile = "Destinazione", .DescrizioneAccessibile = "Località di destinazione dell'itinerario"},
    {.Nome = "imgLogo1", .Tipo = G::Immagine, .Contenitore = "", .Rettangolo = {480, 900, 615, 735},
     .NomeAccessibile = "Primo logo", .DescrizioneAccessibile = "Logo del Vagolume"},
    {.Nome = "frmPeriodo", .Tipo = G::Cornice, .Contenitore = "", .Rettangolo = {1482, 960, 2415, 1095},
     .Didascalia = "Periodo:", .Punti = 9.75, .Grassetto = true, .Stato = &M::frmPeriodo,
     .NomeAccessibile = "Periodo", .DescrizioneAccessibile = "Primo e ultimo giorno dell'itinerario"},
    {.Nome = "Label1", .Tipo = G::Etichetta, .Contenitore = "frmPeriodo", .Rettangolo = {120, 480, 375, 200},
     .Didascalia = "&Dal", .Punti = 8.25, .Grassetto = true, .Allineamento = kDestra, .Compagno = "cmbg1",
     .NomeAccessibile = "Dal", .DescrizioneAccessibile = "Primo giorno dell'itinerario"},
    {.Nome = "cmbg1", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {600, 360, 470, 315},
     .Didascalia = "00", .Suggerimento = kInizio, .Punti = 8.25, .Stato = &M::cmbg1,
     .NomeAccessibile = "Dal giorno"},
    {.Nome = "cmbm1", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {1080, 360, 470, 315},
     .Didascalia = "00", .Suggerimento = kInizio, .Punti = 8.25, .Stato = &M::cmbm1,
     .NomeAccessibile = "Dal mese"},
    {.Nome = "cmba1", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {1560, 360, 700, 315},
     .Didascalia = "0000", .Suggerimento = kInizio, .Punti = 8.25, .Stato = &M::cmba1,
     .NomeAccessibile = "Dall'anno"},
    {.Nome = "Label2", .Tipo = G::Etichetta, .Contenitore = "frmPeriodo", .Rettangolo = {120, 840, 375, 200},
     .Didascalia = "&Al", .Punti = 8.25, .Grassetto = true, .Allineamento = kDestra, .Compagno = "cmbg2",
     .NomeAccessibile = "Al", .DescrizioneAccessibile = "Ultimo giorno dell'itinerario"},
    {.Nome = "cmbg2", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {600, 720, 470, 315},
     .Didascalia = "00", .Suggerimento = kFine, .Punti = 8.25, .Stato = &M::cmbg2,
     .NomeAccessibile = "Al giorno"},
    {.Nome = "cmbm2", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {1080, 720, 470, 315},
     .Didascalia = "00", .Suggerimento = kFine, .Punti = 8.25, .Stato = &M::cmbm2,
     .NomeAccessibile = "Al mese"},
    {.Nome = "cmba2", .Tipo = G::Tendina, .Contenitore = "frmPeriodo", .Rettangolo = {1560, 720, 700, 315},
     .Didascalia = "0000", .Suggerimento = kFine, .Punti = 8.25, .Stato = &M::cmba2,
     .NomeAccessibile = "All'anno"},
    {.Nome = "imgLogo2", .Tipo = G::Immagine, .Contenitore = "", .Rettangolo = {4320, 960, 735, 615},
     .NomeAccessibile = "Secondo logo", .DescrizioneAccessibile = "Logo del Vagolume"},
    {.Nome = "cmdStampa", .Tipo = G::Bottone, .Contenitore = "", .Rettangolo = {120, 1680, 1300, 400},
     .Didascalia = "&Stampa", .Suggerimento = "Stampa i moduli per il Vagolume", .Punti = 12,
     .Grassetto = true, .Stato = &M::cmdStampa,
     .NomeAccessibile = "Stampa"},
    {.Nome = "cmdAnnulla", .Tipo = G::Bottone, .Contenitore = "", .Rettangolo = {120, 1680, 1300, 400},
     .Didascalia = "&Annulla", .Suggerimento = "Annulla la stampa in corso", .Punti = 12, .Grassetto = true,
     .Stato = &M::cmdAnnulla,
     .NomeAccessibile = "Annulla"},
    {.Nome = "cmdFine", .Tipo = G::Bottone, .Contenitore = "", .Rettangolo = {3960, 1655, 1300, 400},
     .Didascalia = "&Fine", .Suggerimento = "Fine dell'esecuzione del programma", .Punti = 12,
     .Grassetto = true, .Opzioni = InvioEscluso, .Stato = &M::cmdFine,
     .NomeAccessibile = "Fine"},
    {.Nome = "frmBianco", .Tipo = G::Cornice, .Contenitore = "", .Rettangolo = {120, 2160, 5115, 615},
     .Didascalia = "Stampa dei fogli in bianco:", .Punti = 8.25, .Grassetto = true, .Stato = &M::frmBianco,
     .NomeAccessibile = "Stampa dei fogli in bianco", .DescrizioneAccessibile = "Fogli senza date né destinazione, da compilare a mano"},
    {.Nome = "chkBianco", .Tipo = G::CasellaSpunta, .Contenitore = "frmBianco",
     .Rettangolo = {120, 300, 1815, 255}, .Didascalia = "&Moduli in bianco", .Punti = 8.25, .Grassetto = true,
     .Stato = &M::chkBianco,
     .NomeAccessibile = "Moduli in bianco", .DescrizioneAccessibile = "Stampa fogli senza date né destinazione"},
    {.Nome = "Label3", .Tipo = G::Etichetta, .Contenitore = "frmBianco", .Rettangolo = {2880, 315, 1335, 255},
     .Didascalia = "&Num. pagine:", .Punti = 8.25, .Grassetto = true, .Allineamento = kDestra,
     .Compagno = "cmbCopie",
     .NomeAccessibile = "Numero di pagine", .DescrizioneAccessibile = "Quante pagine in bianco stampare"},
    {.Nome = "cmbCopie", .Tipo = G::Tendina, .Contenitore = "frmBianco", .Rettangolo = {4320, 240, 615, 315},
     .Didascalia = "01", .Punti = 8.25, .Stato = &M::cmbCopie,
     .NomeAccessibile = "Numero di pagine", .DescrizioneAccessibile = "Quante pagine in bianco stampare, da 1 a 99"},
    {.Nome = "lblCopyright", .Tipo = G::Etichetta, .Contenitore = "", .Rettangolo = {120, 2880, 5115, 180},
     .Punti = 6.75, .Famiglia = "Verdana", .Allineamento = kCentro, .ColoreDidascalia = kVerdeChiaro,
     .Stato = &M::lblCopyright,
     .NomeAccessibile = "Crediti", .DescrizioneAccessibile = "Programma, versione e autori"},
    {.Nome = "txtFondo", .Tipo = G::CasellaTesto, .Contenitore = "", .Rettangolo = {120, 3200, 4635, 285},
     .Opzioni = SoloLettura, .Stato = &M::txtFondo,
     .NomeAccessibile = "Avanzamento della stampa", .DescrizioneAccessibile = "Le pagine stampate fin qui"},
    {.Nome = "txtSopra", .Tipo = G::CasellaTesto, .Contenitore = "", .Rettangolo = {120, 3200, 255, 285},
     .Sfondo = kBlu, .Opzioni = SoloLettura | SenzaBordo | Coprente, .Stato = &M::txtSopra,
     .NomeAccessibile = "Parte stampata", .DescrizioneAccessibile = "Cresce a ogni pagina stampata"},
    {.Nome = "cmdHelp", .Tipo = G::Bottone, .Contenitore = "", .Rettangolo = {4885, 3200, 375, 300},
     .Didascalia = "&?", .Punti = 9.75, .Grassetto = true, .Opzioni = InvioEscluso, .Stato = &M::cmdHelp,
     .NomeAccessibile = "Aiuto", .DescrizioneAccessibile = "Istruzioni per l'uso (F1)"},
    {.Nome = "frmSelStampa", .Tipo = G::Cornice, .Contenitore = "", .Rettangolo = {1080, 1080, 3495, 2295},
     .Didascalia = "Selezione stampante:", .Punti = 9.75, .Grassetto = true, .ColoreDidascalia = kCianoChiaro,
     .Opzioni = Coprente, .StatoPannello = &P::frmSelStampa,
     .NomeAccessibile = "Selezione stampante", .DescrizioneAccessibile = "La stampante su cui stampare"},
    {.Nome = "lstStampanti", .Tipo = G::Elenco, .Contenitore = "frmSelStampa",
     .Rettangolo = {180, 300, 3015, 840}, .Punti = 8.25, .StatoPannello = &P::lstStampanti,
     .NomeAccessibile = "Elenco stampanti", .DescrizioneAccessibile = "Le stampanti installate e «Salva come file PDF»"},
    {.Nome = "Label4", .Tipo = G::Etichetta, .Contenitore = "frmSelStampa", .Rettangolo = {180, 1215, 630, 255},
     .Didascalia = "Pa&gine:", .Punti = 8.25, .Grassetto = true, .Allineamento = kDestra, .Compagno = "txtPagine",
     .NomeAccessibile = "Pagine", .DescrizioneAccessibile = "Le pagine da stampare"},
    {.Nome = "txtPagine", .Tipo = G::CasellaTesto, .Contenitore = "frmSelStampa",
     .Rettangolo = {855, 1185, 1110, 315}, .Suggerimento = kPagine, .Punti = 8.25, .LunghezzaMassima = 100,
     .StatoPannello = &P::txtPagine,
     .NomeAccessibile = "Pagine da stampare"},
    {.Nome = "Label5", .Tipo = G::Etichetta, .Contenitore = "frmSelStampa", .Rettangolo = {2010, 1215, 645, 255},
     .Didascalia = "C&opie:", .Punti = 8.25, .Grassetto = true, .Allineamento = kDestra, .Compagno = "spnCopie",
     .NomeAccessibile = "Copie", .DescrizioneAccessibile = "Quante copie del documento stampare"},
    {.Nome = "spnCopie", .Tipo = G::Numero, .Contenitore = "frmSelStampa",
     .Rettangolo = {2700, 1185, 495, 315}, .Didascalia = "1",
     .Suggerimento = "Copie del documento, da 1 a 99, fascicolate (una sola per «Salva come file PDF»)",
     .Punti = 8.25, .StatoPannello = &P::spnCopie,
     .NomeAccessibile = "Numero di copie"},
    {.Nome = "chkFronteRetro", .Tipo = G::CasellaSpunta, .Contenitore = "frmSelStampa",
     .Rettangolo = {180, 1545, 3015, 225}, .Didascalia = "Fronte-retro (&lato lungo)",
     .Suggerimento = "Stampa sui due lati del foglio, girando sul lato lungo (se la stampante lo consente)",
     .Punti = 8.25, .Grassetto = true, .StatoPannello = &P::chkFronteRetro,
     .NomeAccessibile = "Fronte-retro"},
    {.Nome = "cmdSelStampante0", .Tipo = G::Bottone, .Contenitore = "frmSelStampa",
     .Rettangolo = {180, 1800, 975, 375}, .Didascalia = "S&tampa", .Suggerimento = "Avvio della stampa",
     .Punti = 8.25, .Grassetto = true,
     .NomeAccessibile = "Stampa"},
    {.Nome = "cmdAnteprima", .Tipo = G::Bottone, .Contenitore = "frmSelStampa",
     .Rettangolo = {1200, 1800, 975, 375}, .Didascalia = "Ante&prima", .Suggerimento = "Anteprima di stampa",
     .Punti = 8.25, .Grassetto = true,
     .NomeAccessibile = "Anteprima"},
    {.Nome = "cmdSelStampante1", .Tipo = G::Bottone, .Contenitore = "frmSelStampa",
     .Rettangolo = {2220, 1800, 975, 375}, .Didascalia = "&Rinuncia", .Suggerimento = "Rinuncia alla stampa",
     .Punti = 8.25, .Grassetto = true,
     .NomeAccessibile = "Rinuncia"},
    // Below the buttons, only while it has something to say: the panel
    // grows to hold it.
    {.Nome = "lblAvviso", .Tipo = G::Etichetta, .Contenitore = "frmSelStampa",
     .Rettangolo = {180, 2235, 3135, 0}, .Punti = 8.25, .Grassetto = true, .StatoPannello = &P::lblAvviso,
     .NomeAccessibile = "Avviso", .DescrizioneAccessibile = "Che cosa sapere prima di stampare"},
};
// clang-format on

} // namespace

std::span<const DescrizioneControllo> Controlli() {
    return kControlli;
}

const DescrizioneControllo* RigaTabella(QAnyStringView nome) {
    for (const DescrizioneControllo& d : kControlli)
        if (QAnyStringView::equal(nome, QLatin1String(d.Nome))) return &d;
    return nullptr;
}

bool Dentro(QAnyStringView nome, QAnyStringView cornice) {
    for (const DescrizioneControllo* d = RigaTabella(nome); d && *d->Contenitore;
         d = RigaTabella(QLatin1String(d->Contenitore)))
        if (QAnyStringView::equal(cornice, QLatin1String(d->Contenitore))) return true;
    return false;
}

Controllo* StatoDi(ModelloFinestra& m, const DescrizioneControllo& d) {
    if (d.Stato) return &(m.*d.Stato);
    if (d.StatoPannello) return &(m.Dialogo.*d.StatoPannello);
    return nullptr;
}

const Controllo* StatoDi(const ModelloFinestra& m, const DescrizioneControllo& d) {
    return StatoDi(const_cast<ModelloFinestra&>(m), d);
}

QChar Mnemonico(QStringView didascalia) {
    for (qsizetype i = 0; i + 1 < didascalia.size(); ++i) {
        if (didascalia[i] != u'&') continue;
        if (didascalia[i + 1] != u'&') return didascalia[i + 1].toUpper();
        ++i; // "&&" is an ampersand shown
    }
    return {};
}

} // namespace vagolume

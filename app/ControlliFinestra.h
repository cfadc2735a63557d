#pragma once
// The window's controls as one table: what each one is, where it sits, what
// it says at start and how it looks. The window builds its widgets from it;
// the model takes from it the captions it keeps and the kind of the control
// a key reached.

#include "app/ModelloFinestra.h"

#include <QAnyStringView>
#include <QRect>
#include <QStringView>
#include <optional>
#include <span>

namespace vagolume {

enum class Genere {
    Cornice,       // a frame with a caption, holding other controls
    CasellaTesto,  // a text box
    Immagine,      // a picture, stretched to the control
    Etichetta,     // a label
    Tendina,       // a drop-down list with an edit field
    Bottone,       // a push button
    CasellaSpunta, // a check box
    Elenco,        // a list box
    Numero,        // a spin box: a whole number typed or stepped
};

// What a control does beyond its kind.
enum Opzione : unsigned {
    SoloLettura = 1u << 0, // a text box that shows only: never typed in, never focused
    SenzaBordo = 1u << 1,  // a text box without its sunken border
    Coprente = 1u << 2,    // paints its whole background, hiding what lies beneath
    InvioEscluso = 1u << 3 // a button that Enter never presses, focused or not
};

struct DescrizioneControllo {
    const char* Nome;              // the control's name
    Genere Tipo;                   //
    const char* Contenitore;       // the frame it sits in; "" for the window
    QRect Rettangolo;              // left, top, width, height in twips, in its container
    const char* Didascalia = "";   // caption or initial text (UTF-8)
    const char* Suggerimento = ""; // tooltip (UTF-8)
    double Punti = 0;              // font size; 0: the window's own font
    bool Grassetto = false;
    const char* Famiglia = nullptr; // face; nullptr: the captions' face
    Qt::Alignment Allineamento = {};
    std::optional<Rgb> ColoreDidascalia = {}; // caption colour other than the window's white
    std::optional<Rgb> Sfondo = {};           // background colour other than the window's
    const char* Compagno = "";                // a label's control, focused by its mnemonic
    int LunghezzaMassima = 0;                 // a text box's limit; 0: none
    unsigned Opzioni = 0;
    Controllo ModelloFinestra::*Stato = nullptr;       // the state the window's model keeps for it
    Controllo DialogoStampa::*StatoPannello = nullptr; // or the state the print dialog keeps
    // What a screen reader calls the control (UTF-8), and what it says of it
    // besides; nullptr: the tooltip.
    const char* NomeAccessibile = "";
    const char* DescrizioneAccessibile = nullptr;
};

// The window: its title and its client area in twips.
inline const QString kTitoloFinestra = QStringLiteral("Stampa moduli per  'Vagolume'");
inline constexpr int kLarghezzaFinestra = 5400;
inline constexpr int kAltezzaFinestra = 3720;

// Every control, in the order the window creates them: that is the order the
// Tab key follows, and a later control is drawn over an earlier one.
std::span<const DescrizioneControllo> Controlli();

// The row of the control table for a control's name; nullptr for none.
const DescrizioneControllo* RigaTabella(QAnyStringView nome);

// Whether the control of a name lies in the frame cornice, directly or in a
// frame within it.
bool Dentro(QAnyStringView nome, QAnyStringView cornice);

// The state kept for a control, by the window's model or its print dialog;
// nullptr for a control whose state nobody keeps (a fixed caption).
Controllo* StatoDi(ModelloFinestra& m, const DescrizioneControllo& d);
const Controllo* StatoDi(const ModelloFinestra& m, const DescrizioneControllo& d);

// The letter of a caption's mnemonic ("&Al": A), upper case; null for none.
QChar Mnemonico(QStringView didascalia);

} // namespace vagolume

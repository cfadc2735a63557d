#pragma once
// Values shared by the sections of the printed pages: those of one print run
// and those of the page being drawn.

#include "print/PrinterSurface.h"

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>

namespace vagolume {

struct ContestoStampa {
    // Of the run.
    bool DatiInseriti = true;    // pages carry the entered data (not blank)
    float FondoPagina = 277;     // bottom edge of the page content, mm
    float InizioSpese = 237;     // top of the fuel and expense block
    float InizioControlli = 207; // top of the vehicle checks and tanks band
    float AltezzaFascia = 70;
    float PassoRiga = 5;
    std::array<float, 11> Colonna{};
    // First and last day of the trip; in blank mode too, from the pickers.
    QDate DataInizio;
    QDate DataFine;
    int NumeroPagine = 0; // logbook sheets of the run (the cover not counted)
    QString TestoPeriodo;
    QString TestoDestinazione;
    int16_t GiornoViaggio = 0;
    // Of the page.
    int PaginaCorrente = 0; // 0: the cover; N: sheet N, day N of the trip
    QDate DataPagina;
    int16_t IndiceSettimana = 0; // 0 on a Saturday, as the day numbers count
    float Interlinea = 5.5f;
    // Working values of the legend, read by the footer.
    double SizeLegenda = 8;
    float XLegenda = 10;

    // The credit line and the two logos, as the window shows them.
    QString Copyright;
    Picture Logo1;
    Picture Logo2;

    // The page geometry that follows from the printable height: FondoPagina,
    // InizioSpese, InizioControlli, AltezzaFascia and PassoRiga.
    void ImpostaGeometria(float PrintableHeight);
    void ImpostaColonne();
};

// The credit line: product name, version, " © by ", company name, comments.
QString ComponiCopyright();
// The two logos of the window and of every page.
Picture Logo1();
Picture Logo2();

} // namespace vagolume

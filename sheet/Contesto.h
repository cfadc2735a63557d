#pragma once
// Values shared by the sections of the printed pages: those of one print run
// and those of the page being drawn.

#include "print/PrinterSurface.h"

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
    double DataInizio = 0;
    double DataFine = 0;
    float NumeroPagine = 0;
    QString TestoPeriodo;
    QString TestoDestinazione;
    int16_t GiornoViaggio = 0;
    // Of the page.
    float PaginaCorrente = 0;
    QString DataPagina;
    int16_t IndiceSettimana = 0;
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

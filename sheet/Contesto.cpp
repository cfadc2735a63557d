#include "sheet/Contesto.h"

#include "calendar/Calendario.h"
#include "run/Sistema.h"
#include "versione.h"

#include <QImage>

// The logos live in the core library's resources.
static void CaricaRisorse() {
    Q_INIT_RESOURCE(resources);
}

namespace vagolume {

void ContestoStampa::ImpostaGeometria(float PrintableHeight) {
    FondoPagina = PrintableHeight - 10;
    InizioSpese = FondoPagina - 40;
    InizioControlli = InizioSpese - 30;
    // The lower band's rows: as close to 5 mm as whole rows fill the band.
    AltezzaFascia = FondoPagina - InizioControlli;
    const double righe = Int(AltezzaFascia / 5.0 + 0.5);
    if (righe >= 1) PassoRiga = static_cast<float>(AltezzaFascia / righe);
}

void ContestoStampa::ImpostaColonne() {
    Colonna[1] = 100;
    Colonna[2] = 120;
    Colonna[3] = 140;
    Colonna[4] = 165;
    Colonna[5] = 185;
    Colonna[6] = 195;
}

QString ComponiCopyright() {
    return QStringLiteral(VAGOLUME_PRODUCT_NAME " %1.%2.%3 © by " VAGOLUME_COMPANY_NAME " " VAGOLUME_COMMENTS)
        .arg(VAGOLUME_VERSION_MAJOR)
        .arg(VAGOLUME_VERSION_MINOR)
        .arg(VAGOLUME_VERSION_PATCH);
}

Picture Logo1() {
    static const Picture logo = [] {
        CaricaRisorse();
        // A logo that cannot be decoded (memory gone) is said by the run.
        const StandardErrorMuto muto;
        return Picture{QStringLiteral("imgLogo1"), QImage(QStringLiteral(":/logo1.png"))};
    }();
    return logo;
}

Picture Logo2() {
    static const Picture logo = [] {
        CaricaRisorse();
        return Picture{QStringLiteral("imgLogo2"), QImage(QStringLiteral(":/logo2.jpg"))};
    }();
    return logo;
}

} // namespace vagolume

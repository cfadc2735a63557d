#pragma once
// The one fake of the window's dialogs and of its system: scripted answers
// in, everything asked recorded.

#include "app/Servizi.h"

#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace vagolume {

class DialoghiFinti : public Dialoghi {
public:
    QList<bool> risposte;        // answers to the Yes/No questions, in order
    bool rispostaFinale = false; // the answer once those are used up
    QStringList domande;         // "title|text" of every question, "title|dialogo" of every save dialog
    QString titoloInfo,
        testoInfo;         // the last information box (" (senza attesa)" after a title not waited for)
    QStringList proposti;  // paths proposed by the save dialog
    QStringList sceltePdf; // what the save dialog gives back, in order (empty: cancelled)
    QStringList riquadri;  // "title|text|file" of the boxes with a file, and the warnings
    bool apri = false;     // those boxes are closed with "&Apri"
    bool visore = true;    // a program opens the files "&Apri" opens
    QStringList aperti;    // files given to the desktop's viewer
    // The preview; unset: closed at once, nothing printed.
    std::function<bool(Pagine&, const QPageLayout&)> anteprima;

    bool DomandaSiNo(const QString& titolo, const QString& testo, bool) override {
        domande.append(titolo + u'|' + testo);
        return risposte.isEmpty() ? rispostaFinale : risposte.takeFirst();
    }
    void Informazione(const QString& titolo, const QString& testo, bool senzaAttesa) override {
        titoloInfo = senzaAttesa ? titolo + QStringLiteral(" (senza attesa)") : titolo;
        testoInfo = testo;
    }
    bool InformazioneFile(const QString& titolo, const QString& testo, const QString& file) override {
        riquadri.append(titolo + u'|' + testo + u'|' + file);
        return apri;
    }
    bool Avvertimento(const QString& titolo, const QString& testo, const QString& file) override {
        riquadri.append(titolo + u'|' + testo + u'|' + file);
        return apri && !file.isEmpty();
    }
    QString SalvaFile(const QString& titolo, const QString& proposto) override {
        domande.append(titolo + QStringLiteral("|dialogo"));
        proposti.append(proposto);
        return sceltePdf.isEmpty() ? QString() : sceltePdf.takeFirst();
    }
    void ApriFile(const QString& file, std::function<void()> nonAperto) override {
        aperti.append(file);
        if (!visore) nonAperto();
    }
    bool Anteprima(Pagine& pagine, const QPageLayout& layout, const RichiestaStampa&) override {
        return anteprima && anteprima(pagine, layout);
    }
};

class PiattaformaFinta : public Piattaforma {
public:
    QStringList installate;             // the printers, in the system's order
    bool risponde = true;               // the printing system answers
    QStringList fronteRetro;            // those that print on both sides
    QStringList fronteRetroPredefinito; // ...and do unless told
    QHash<QString, QString> messaggi;   // what printers say of themselves
    QString attese;                     // "[" busy cursor on, "?" printers asked, "f" sides asked, "]" off
    QStringList impaginate;             // every printer whose layout was asked for
    // A printer's layout; unset: A4 without margins.
    std::function<QPageLayout(const QString&)> impaginazione;
    std::function<void(int passo)> eventi; // each pass of event processing
    int passi = 0;
    FabbricaSuperficie superficie; // unset: the real document

    std::function<void()> interrogata; // called as the printers are asked for
    StatoStampanti Stampanti() override {
        attese += u'?';
        if (interrogata) interrogata();
        StatoStampanti stato;
        stato.Installate = risponde ? installate : QStringList();
        stato.Risponde = risponde;
        return stato;
    }
    QPageLayout Impaginazione(const QString& stampante) override {
        impaginate.append(stampante);
        return impaginazione ? impaginazione(stampante)
                             : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    }
    LatiCoda FronteRetro(const QString& stampante) override {
        attese += u'f';
        return {fronteRetro.contains(stampante), fronteRetroPredefinito.contains(stampante)};
    }
    QString MessaggioStampante(const QString& stampante) override { return messaggi.value(stampante); }
    void ElaboraEventi() override {
        ++passi;
        if (eventi) eventi(passi);
    }
    void Occupato(bool occupato) override { attese += occupato ? u'[' : u']'; }
    FabbricaSuperficie Superficie() override { return superficie; }
};

} // namespace vagolume

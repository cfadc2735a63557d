#pragma once
// The calendar of the printed pages, in two forms.
//
// Dates as QDate: the weekday and month names printed on a sheet, the day of
// the month, the number of days of a period. The pages and the run speak
// these.
//
// Date texts DDMMYYYY and day numbers: the form the window's date pickers are
// read in. Day numbers are whole doubles, consecutive for consecutive days,
// with day 1 on 1 January of year 1 and a leap year every fourth year; their
// remainder by 7 is 0 on a Saturday. From 1 March 1900 to 28 February 2100
// they match the calendar day for day. Day, month and year are 16-bit
// integers: a value that does not fit raises ErroreCalcolo.

#include <QDate>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace vagolume {

struct ErroreCalcolo : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Int(): the largest whole number not above x.
double Int(double x);

// Number formed by the leading digits of a text (0 when it does not begin with
// a digit), as a 16-bit integer. Throws ErroreCalcolo when it does not fit.
int16_t ValoreNumerico(const QString& testo);

// Converts to 16 bits, throwing ErroreCalcolo when the value does not fit.
int16_t A16Bit(double valore);

// ---- Dates ----------------------------------------------------------------

// The weekday as the remainder of the day numbers by 7 counts it: 0 on a
// Saturday, 1 on a Sunday ... 6 on a Friday; 0 for an invalid date.
int16_t IndiceSettimana(const QDate& d);
// Three-letter weekday name: "Lun" ... "Dom". Empty for an invalid date.
QString NomeGiorno(const QDate& d);
// Three-letter month name: "Gen" ... "Dic". Empty for an invalid date.
QString NomeMese(const QDate& d);
// The day of the month in two digits ("04"). Empty for an invalid date.
QString TestoGiorno(const QDate& d);
// Days from dal to al, both counted (1 when they are the same day); 0 when
// either is invalid or al comes before dal.
int NumeroGiorni(const QDate& dal, const QDate& al);

// ---- Date texts and day numbers --------------------------------------------

// Days in month m of year a by the Gregorian rule. The day picker asks with
// the numeric value of whatever its month text holds: month 0, the value of
// an empty or non-numeric text, gives 31 so that every day stays choosable
// until a month is picked; any other month outside 1..12 gives 28.
int16_t GiorniMese(const int16_t& a, const int16_t& m);
QString Data2Data(const QString& X);
void Data2Gma(const QString& X, int16_t& g, int16_t& m, int16_t& a);
double Data2Giul(const QString& X);
void Giul2Data(const double& n, int16_t& g, int16_t& m, int16_t& a);
QString Gma2Data(const int16_t& g, const int16_t& m, const int16_t& a);
QString Giu2Datas(const double& n);
QString Zero(const int& n, const int& c);

} // namespace vagolume

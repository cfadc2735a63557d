#pragma once
// Date texts DDMMYYYY, day numbers and the printed date DD/MM/YYYY.
//
// Day numbers are whole doubles, consecutive for consecutive days, with day 1
// on 1 January of year 1 and a leap year every fourth year; their remainder by
// 7 is 0 on a Saturday. Day, month and year are 16-bit integers: a value that
// does not fit raises ErroreCalcolo, which callers treat as a failed step.

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

int16_t GiorniMese(const int16_t& a, const int16_t& m);
QString Data2Data(const QString& X);
void Data2Gma(const QString& X, int16_t& g, int16_t& m, int16_t& a);
double Data2Giul(const QString& X);
void Giul2Data(const double& n, int16_t& g, int16_t& m, int16_t& a);
QString Gma2Data(const int16_t& g, const int16_t& m, const int16_t& a);
QString Giu2Datas(const double& n);
QString Zero(const int& n, const int& c);

} // namespace vagolume

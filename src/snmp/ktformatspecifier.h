// Value format specifiers: how an edit's text is typed and checked, e.g. "%u{n1x65535}".
//
//   "%" conversion [delimiter, for "n"] ["{" options "}"]
//   conversion: s text, h hex text, u unsigned, i signed, f real, n delimited unsigned numbers
//   options, without separators: n<number> minimum, x<number> maximum,
//   l<digits>[a][f][n] length (a auto-advance, f fixed, n not empty), w<digits> width in pixels,
//   e<character> skip character
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

struct KtFormatSpec {
    enum Flag : quint8 { AutoAdvance = 1, Fixed = 2, NotEmpty = 4 };

    QChar conversion;
    QChar delimiter;      // "n" only
    double minimum = 0;   // defaults per conversion
    double maximum = 0;
    int length = 0;       // 0 = no limit
    quint8 flags = 0;
    QChar skipCharacter;  // null = none
    int width = 0;        // pixels; 0 = leave the edit's width alone

    bool isNumeric() const; // "u", "i", "f"

    // Throws KtException -2 with the common table's text 2 for a bad specifier.
    static KtFormatSpec Parse(const QString &specifier);

    // Splits a combined format: every "%" after the first character starts a new specifier.
    static QStringList Split(const QString &format);
};

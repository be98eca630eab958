#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>
#include <QVector>

namespace tq {

// A Qt date or time format ("M/d/yy", "HH:mm:ss", "dd. MMMM yyyy") compiled
// once, so that formatting and parsing a million lines costs microseconds
// each instead of a QLocale call. The text it writes is the text QLocale
// writes for the same format; formats it cannot reproduce exactly (other
// digits than 0-9, milliseconds, zones) are handed to QLocale.
class DateTimeFormat {
  public:
    // The fields a parse found; those the format does not hold stay -1.
    struct Fields {
        int year = -1, month = -1, day = -1;
        int hour = -1, minute = -1, second = -1, msec = -1;
        int ampm = -1; // 0 am, 1 pm
        bool twoDigitYear = false;
    };

    DateTimeFormat() = default;
    DateTimeFormat(const QString& format, const QLocale& locale);

    const QString& format() const { return m_format; }

    void appendDate(QString& out, const QDate& date) const;
    void appendTime(QString& out, const QTime& time) const;

    // Reads the format from text at pos, advancing pos past what it read.
    // Numbers may have fewer digits than the format shows; a blank in the
    // format matches any run of blanks. False when the text does not fit.
    bool parse(QStringView text, qsizetype& pos, Fields& fields) const;

  private:
    enum class Kind {
        Literal,
        Day,
        DayName,
        Month,
        MonthName,
        Year2,
        Year4,
        Hour12,
        Hour24,
        Minute,
        Second,
        AmPm
    };
    struct Token {
        Token(Kind k = Kind::Literal, int w = 1, bool longNames = false)
            : kind(k), width(w), longName(longNames) {}
        Kind kind;
        int width;         // digits shown (1 = as few as needed, 2 = zero-padded)
        bool longName;     // day and month names
        bool upper = true; // AM/PM case
        QString text;      // Literal
    };
    void compile();
    void append(QString& out, const QDate& date, const QTime& time) const;

    QString m_format;
    QLocale m_locale;
    QVector<Token> m_tokens;
    bool m_fast = false; // false: QLocale formats, and parsing goes through it too
};

// Two-digit years are placed in the hundred years that end 50 years from
// now, as spreadsheet programs do ("08" is 2008, "80" is 1980 in 2026).
int expandTwoDigitYear(int yy, int currentYear);

} // namespace tq

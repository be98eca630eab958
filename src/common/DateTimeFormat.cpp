#include "DateTimeFormat.h"

namespace tq {

namespace {

void appendNumber(QString& out, int n, int width) {
    if (n < 0) {
        out += QLatin1Char('-');
        n = -n;
    }
    char digits[12];
    int len = 0;
    do {
        digits[len++] = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (int i = len; i < width; ++i)
        out += QLatin1Char('0');
    while (len > 0)
        out += QLatin1Char(digits[--len]);
}

// Up to maxDigits ASCII digits at pos; false when there is none.
bool readNumber(QStringView text, qsizetype& pos, int maxDigits, int& value, int* digitsRead = nullptr) {
    int n = 0, digits = 0;
    while (digits < maxDigits && pos < text.size() && text[pos] >= QLatin1Char('0') &&
           text[pos] <= QLatin1Char('9')) {
        n = n * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0) return false;
    value = n;
    if (digitsRead) *digitsRead = digits;
    return true;
}

// The longest of names that starts text at pos (case-insensitive); its index or -1.
int readName(QStringView text, qsizetype& pos, const QStringList& names) {
    int best = -1;
    qsizetype bestLen = 0;
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        if (name.isEmpty() || name.size() <= bestLen) continue;
        if (text.mid(pos).startsWith(name, Qt::CaseInsensitive)) {
            best = i;
            bestLen = name.size();
        }
    }
    if (best >= 0) pos += bestLen;
    return best;
}

} // namespace

int expandTwoDigitYear(int yy, int currentYear) {
    // The hundred years from 50 years ago on.
    const int threshold = currentYear - 50;
    int year = threshold - threshold % 100 + yy;
    if (year < threshold) year += 100;
    return year;
}

DateTimeFormat::DateTimeFormat(const QString& format, const QLocale& locale)
    : m_format(format), m_locale(locale) {
    compile();
}

void DateTimeFormat::compile() {
    m_tokens.clear();
    m_fast = m_locale.zeroDigit() == QLatin1String("0");
    const QString& f = m_format;
    bool hasAmPm = false;
    for (qsizetype i = 0; i < f.size(); ++i)
        if (f[i] == QLatin1Char('a') || f[i] == QLatin1Char('A')) hasAmPm = true;
    auto literal = [this](const QString& s) {
        if (!m_tokens.isEmpty() && m_tokens.last().kind == Kind::Literal)
            m_tokens.last().text += s;
        else {
            Token t(Kind::Literal);
            t.text = s;
            m_tokens.append(t);
        }
    };
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar c = f[i];
        qsizetype repeat = 1;
        while (i + repeat < f.size() && f[i + repeat] == c)
            ++repeat;
        switch (c.unicode()) {
        case '\'': {
            // Quoted text; '' is a quote.
            if (repeat >= 2) {
                literal(QStringLiteral("'"));
                i += 2;
                break;
            }
            qsizetype end = i + 1;
            QString text;
            while (end < f.size()) {
                if (f[end] == QLatin1Char('\'')) {
                    if (end + 1 < f.size() && f[end + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        end += 2;
                        continue;
                    }
                    break;
                }
                text += f[end++];
            }
            literal(text);
            i = end + 1;
            break;
        }
        case 'd': {
            const int n = int(qMin<qsizetype>(repeat, 4));
            m_tokens.append(n <= 2 ? Token{Kind::Day, n} : Token{Kind::DayName, 1, n == 4});
            i += n;
            break;
        }
        case 'M': {
            const int n = int(qMin<qsizetype>(repeat, 4));
            m_tokens.append(n <= 2 ? Token{Kind::Month, n} : Token{Kind::MonthName, 1, n == 4});
            i += n;
            break;
        }
        case 'y':
            if (repeat >= 4) {
                m_tokens.append(Token{Kind::Year4, 4});
                i += 4;
            } else if (repeat >= 2) {
                m_tokens.append(Token{Kind::Year2, 2});
                i += 2;
            } else {
                literal(QStringLiteral("y"));
                i += 1;
            }
            break;
        case 'h':
        case 'H': {
            const int n = int(qMin<qsizetype>(repeat, 2));
            m_tokens.append(Token{c == QLatin1Char('h') && hasAmPm ? Kind::Hour12 : Kind::Hour24, n});
            i += n;
            break;
        }
        case 'm':
        case 's': {
            const int n = int(qMin<qsizetype>(repeat, 2));
            m_tokens.append(Token{c == QLatin1Char('m') ? Kind::Minute : Kind::Second, n});
            i += n;
            break;
        }
        case 'a':
        case 'A': {
            Token t{Kind::AmPm};
            t.upper = c == QLatin1Char('A');
            const QChar p = t.upper ? QLatin1Char('P') : QLatin1Char('p');
            i += (i + 1 < f.size() && f[i + 1] == p) ? 2 : 1;
            m_tokens.append(t);
            break;
        }
        case 'z':
        case 't':
            // Milliseconds and zones are rare in regional formats: leave them to QLocale.
            m_fast = false;
            i += repeat;
            break;
        default:
            literal(QString(c));
            i += 1;
        }
    }
}

void DateTimeFormat::append(QString& out, const QDate& date, const QTime& time) const {
    for (const Token& t : m_tokens) {
        switch (t.kind) {
        case Kind::Literal:
            out += t.text;
            break;
        case Kind::Day:
            appendNumber(out, date.day(), t.width);
            break;
        case Kind::DayName:
            out +=
                m_locale.dayName(date.dayOfWeek(), t.longName ? QLocale::LongFormat : QLocale::ShortFormat);
            break;
        case Kind::Month:
            appendNumber(out, date.month(), t.width);
            break;
        case Kind::MonthName:
            out += m_locale.monthName(date.month(), t.longName ? QLocale::LongFormat : QLocale::ShortFormat);
            break;
        case Kind::Year2:
            appendNumber(out, ((date.year() % 100) + 100) % 100, 2);
            break;
        case Kind::Year4:
            appendNumber(out, date.year(), 4);
            break;
        case Kind::Hour12: {
            const int h = time.hour() % 12;
            appendNumber(out, h == 0 ? 12 : h, t.width);
            break;
        }
        case Kind::Hour24:
            appendNumber(out, time.hour(), t.width);
            break;
        case Kind::Minute:
            appendNumber(out, time.minute(), t.width);
            break;
        case Kind::Second:
            appendNumber(out, time.second(), t.width);
            break;
        case Kind::AmPm: {
            const QString text = time.hour() < 12 ? m_locale.amText() : m_locale.pmText();
            out += t.upper ? text.toUpper() : text.toLower();
            break;
        }
        }
    }
}

void DateTimeFormat::appendDate(QString& out, const QDate& date) const {
    if (!date.isValid()) return;
    if (!m_fast || date.year() < 0 || date.year() > 9999) {
        out += m_locale.toString(date, m_format);
        return;
    }
    append(out, date, QTime(0, 0));
}

void DateTimeFormat::appendTime(QString& out, const QTime& time) const {
    if (!time.isValid()) return;
    if (!m_fast) {
        out += m_locale.toString(time, m_format);
        return;
    }
    append(out, QDate(2000, 1, 1), time);
}

bool DateTimeFormat::parse(QStringView text, qsizetype& pos, Fields& f) const {
    if (!m_fast) {
        // Let QLocale read the longest prefix, ending at a blank or the end, that holds the format.
        for (qsizetype end = text.size(); end > pos; --end) {
            if (end < text.size() && !text[end].isSpace()) continue;
            const QString part = text.mid(pos, end - pos).toString();
            const QDateTime dt = m_locale.toDateTime(part, m_format);
            if (!dt.isValid()) continue;
            f.year = dt.date().year();
            f.month = dt.date().month();
            f.day = dt.date().day();
            f.hour = dt.time().hour();
            f.minute = dt.time().minute();
            f.second = dt.time().second();
            f.msec = dt.time().msec();
            pos = end;
            return true;
        }
        return false;
    }
    for (const Token& t : m_tokens) {
        switch (t.kind) {
        case Kind::Literal:
            for (const QChar c : t.text) {
                if (c.isSpace()) {
                    if (pos >= text.size() || !text[pos].isSpace()) return false;
                    while (pos < text.size() && text[pos].isSpace())
                        ++pos;
                } else {
                    if (pos >= text.size() || text[pos] != c) return false;
                    ++pos;
                }
            }
            break;
        case Kind::Day:
            if (!readNumber(text, pos, 2, f.day)) return false;
            break;
        case Kind::DayName: {
            QStringList names;
            for (int d = 1; d <= 7; ++d)
                names << m_locale.dayName(d, t.longName ? QLocale::LongFormat : QLocale::ShortFormat);
            if (readName(text, pos, names) < 0) return false;
            break;
        }
        case Kind::Month:
            if (!readNumber(text, pos, 2, f.month)) return false;
            break;
        case Kind::MonthName: {
            QStringList names;
            for (int m = 1; m <= 12; ++m)
                names << m_locale.monthName(m, t.longName ? QLocale::LongFormat : QLocale::ShortFormat);
            const int m = readName(text, pos, names);
            if (m < 0) return false;
            f.month = m + 1;
            break;
        }
        case Kind::Year2:
        case Kind::Year4: {
            int digits = 0;
            if (!readNumber(text, pos, 4, f.year, &digits)) return false;
            f.twoDigitYear = digits <= 2;
            break;
        }
        case Kind::Hour12:
        case Kind::Hour24:
            if (!readNumber(text, pos, 2, f.hour)) return false;
            break;
        case Kind::Minute:
            if (!readNumber(text, pos, 2, f.minute)) return false;
            break;
        case Kind::Second:
            if (!readNumber(text, pos, 2, f.second)) return false;
            break;
        case Kind::AmPm: {
            const int which = readName(text, pos, {m_locale.amText(), m_locale.pmText()});
            if (which < 0) return false;
            f.ampm = which;
            break;
        }
        }
    }
    return true;
}

} // namespace tq

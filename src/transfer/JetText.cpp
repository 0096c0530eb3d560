#include "transfer/JetText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <cmath>

namespace vantorel::transfer {

namespace {

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out += char(0xc0 | c >> 6);
        out += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += char(0xe0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xf0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3f));
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

// UTF-16 code units as UTF-8; a surrogate pair is one character, a lone surrogate U+FFFD.
class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(std::string& out)
        : m_out(out)
    {
        m_out.clear();
    }
    ~Utf16ToUtf8()
    {
        if (m_high)
            appendUtf8(m_out, 0xfffd);
    }
    Utf16ToUtf8(const Utf16ToUtf8&) = delete;
    Utf16ToUtf8& operator=(const Utf16ToUtf8&) = delete;

    void add(char16_t unit)
    {
        const bool high = unit >= 0xd800 && unit < 0xdc00;
        const bool low = unit >= 0xdc00 && unit < 0xe000;
        if (m_high && low) {
            appendUtf8(m_out, 0x10000 + (char32_t(m_high - 0xd800) << 10) + (unit - 0xdc00));
            m_high = 0;
            return;
        }
        if (m_high)
            appendUtf8(m_out, 0xfffd);
        m_high = high ? unit : 0;
        if (!high)
            appendUtf8(m_out, low ? 0xfffd : unit);
    }

private:
    std::string& m_out;
    char16_t m_high = 0;
};

} // namespace

// Jet 4 keeps text as UTF-16, or "compressed": after the mark FF FE, one byte per character
// below U+0100, with a 0 byte switching to and from two bytes per character. Decoded here, not
// by libmdb, whose UCS-2 reading turns every character outside the Basic Multilingual Plane
// into "??"; the surrogate pairs of UTF-16 pass through whole.
void jet4Text(const unsigned char* bytes, size_t size, std::string& out)
{
    Utf16ToUtf8 text(out);
    if (size >= 2 && bytes[0] == 0xff && bytes[1] == 0xfe) {
        bool oneByte = true;
        for (size_t i = 2; i < size;) {
            if (bytes[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                text.add(bytes[i++]);
            } else if (i + 1 < size) {
                text.add(char16_t(bytes[i] | bytes[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return;
    }
    for (size_t i = 0; i + 1 < size; i += 2)
        text.add(char16_t(bytes[i] | bytes[i + 1] << 8));
}

// Upper-case exponent as the earlier program showed it: 1E+20, 1.5E-07.
QString jetNumberText(double value, int digits)
{
    return QString::number(value, 'g', digits).toUpper();
}

QString jetCurrencyText(qint64 tenThousandths)
{
    QString text = QString::number(double(tenThousandths) / 10000.0, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// Days since 30 December 1899 and the fraction of a day, as Jet keeps a Date/Time; the
// fraction counts forward from midnight also before 1899.
QString jetDateTimeText(double value)
{
    qint64 days = qint64(std::trunc(value));
    qint64 seconds = std::llround(std::fabs(value - double(days)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += value < 0 ? -1 : 1;
    }
    const QString date = QDate(1899, 12, 30).addDays(days).toString(QStringLiteral("M/d/yyyy"));
    const QString time = QLocale::c().toString(QTime(0, 0).addSecs(int(seconds)), QStringLiteral("h:mm:ss AP"));
    if (days == 0)
        return time;
    return seconds == 0 ? date : date + QLatin1Char(' ') + time;
}

} // namespace vantorel::transfer

#include "skype/SkypeText.h"

#include <limits>

namespace SkypeText {

std::optional<Split> splitAtBlank(QStringView text)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return std::nullopt;
    return Split{text.left(blank), text.mid(blank + 1)};
}

std::optional<Notification> tokenize(QStringView text)
{
    // No keyword the program knows is longer than this; a longer first word is not copied.
    constexpr qsizetype longestKeyword = 32;
    const std::optional<Split> words = splitAtBlank(text.trimmed());
    if (!words)
        return std::nullopt;
    QString keyword = words->head.size() <= longestKeyword ? words->head.toString().toLower() : QString();
    return Notification{std::move(keyword), words->tail.trimmed()};
}

QStringView untilZero(QStringView text)
{
    const qsizetype zero = text.indexOf(QChar(0));
    return zero < 0 ? text : text.left(zero);
}

int leadingNumber(QStringView text)
{
    constexpr int largest = std::numeric_limits<int>::max();
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const int digit = c.unicode() - '0';
        if (value > (largest - digit) / 10)
            return largest;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace SkypeText

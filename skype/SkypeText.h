#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// How the program reads Skype's texts. Texts come from another program and are not trusted:
// everything here works on views into the text, never reads past it, and refuses sizes no
// Skype client sends.
namespace SkypeText {

// Texts longer than this (UTF-16 units) are ignored whole. The longest text a Skype client sends
// is the friend list; this holds several thousand friends.
constexpr qsizetype MaxTextLength = 256 * 1024;
// Handles, call ids, chat names, message ids and full names are far shorter; a notification
// naming a longer one is ignored.
constexpr qsizetype MaxNameLength = 256;

struct Split {
    QStringView head; // before the first blank
    QStringView tail; // after it
};

// Splits at the first blank (U+0020); nothing when there is no blank.
std::optional<Split> splitAtBlank(QStringView text);

struct Notification {
    QString keyword;  // the first word, lower-cased
    QStringView rest; // everything after it, white space removed at both ends
};

// A notification's keyword and the rest. Nothing for an empty or one-word text (white space at
// both ends removed first).
std::optional<Notification> tokenize(QStringView text);

// The text up to its first zero character: a text ends there, as on the wire.
QStringView untilZero(QStringView text);

// The decimal number at the start of the text (0 when it starts with no digit), held at the
// largest int instead of overflowing.
int leadingNumber(QStringView text);

inline bool isNameSized(QStringView name)
{
    return name.size() <= MaxNameLength;
}

} // namespace SkypeText

#include "reservation/CustomerEntry.h"

#include <QRegularExpression>

namespace {
const char *const MSG_AGE = QT_TRANSLATE_NOOP("Prompt", "Error in age entry ");
const char *const MSG_PHONE = QT_TRANSLATE_NOOP("Prompt", "Error in phone entry ");
const char *const MSG_NAME =
    QT_TRANSLATE_NOOP("Prompt", "Error in name entry: the name holds a control character (such as a tab, an escape "
                                "or a line break). Please type the name again ");

// Whole years only: "3.5", "-5" and "+5" are typing errors, not ages.
std::optional<int> parseAge(const QString &typed)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    const QString t = typed.trimmed();
    if (!digits.match(t).hasMatch())
        return std::nullopt;
    const int age = t.toInt();
    if (age > kMaxAge)
        return std::nullopt;
    return age;
}

// A phone as people write it: an optional + before the country code, then digit groups
// separated by blanks or dashes. The text is kept, so 080... keeps its leading zero.
std::optional<QString> parsePhone(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral("^\\+?[0-9](?:[0-9 -]*[0-9])?$"));
    const QString t = typed.trimmed();
    if (!form.match(t).hasMatch())
        return std::nullopt;
    int digits = 0;
    for (QChar c : t)
        digits += c.isDigit() ? 1 : 0;
    if (digits > kMaxPhoneDigits)
        return std::nullopt;
    return t;
}
}  // namespace

bool HoldsControlCharacter(const QString &text)
{
    for (QChar c : text) {
        const QChar::Category cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph)
            return true;
    }
    return false;
}

std::optional<EntryProblem> CheckCustomerEntry(const QString &name, const QString &phone, const QString &age,
                                               CustomerEntry *entry)
{
    const std::optional<int> years = parseAge(age);
    if (!years)
        return EntryProblem{QString::fromLatin1(MSG_AGE), nbk::Focus::Age};
    const std::optional<QString> number = parsePhone(phone);
    if (!number)
        return EntryProblem{QString::fromLatin1(MSG_PHONE), nbk::Focus::Phone};
    if (HoldsControlCharacter(name))
        return EntryProblem{QString::fromLatin1(MSG_NAME), nbk::Focus::Name};
    if (entry)
        *entry = {name, *number, *years};
    return std::nullopt;
}

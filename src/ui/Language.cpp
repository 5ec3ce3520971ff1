#include "ui/Language.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace nbk::ui {

QString chosenLanguage(const QString &option, const QString &variable, const QString &system)
{
    for (const QString &given : {option, variable})
        if (!given.trimmed().isEmpty())
            return given.trimmed().toLower().section(QLatin1Char('_'), 0, 0);
    return system.startsWith(QLatin1String("kn")) ? QStringLiteral("kn") : QStringLiteral("en");
}

namespace {

// A message worded with values in it ("Seat %1 is not free on this journey."): the
// translator finds only fixed texts, so the worded message is matched against the
// catalogue's patterns and its values carried into the pattern's translation. A value
// never spans lines: a message of several lines is matched line by line.
struct Pattern {
    QRegularExpression match;
    std::vector<int> order;  // the placeholder number of each captured value
    QString translation;
    qsizetype fixed = 0;     // letters outside the placeholders: the more, the surer the match
};

std::vector<Pattern> &patterns()
{
    static std::vector<Pattern> all;
    return all;
}

const QRegularExpression &placeholder()
{
    static const QRegularExpression p(QStringLiteral("%([1-9])"));
    return p;
}

std::optional<Pattern> patternOf(const QString &source, const QString &translation)
{
    Pattern p;
    QString expression = QStringLiteral("^");
    qsizetype at = 0;
    for (auto it = placeholder().globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        expression += QRegularExpression::escape(source.mid(at, m.capturedStart() - at)) + QStringLiteral("([^\\r\\n]+?)");
        p.fixed += m.capturedStart() - at;
        p.order.push_back(m.captured(1).toInt());
        at = m.capturedEnd();
    }
    if (p.order.empty())
        return std::nullopt;
    expression += QRegularExpression::escape(source.mid(at)) + QLatin1Char('$');
    p.fixed += source.size() - at;
    p.match.setPattern(expression);
    p.translation = translation;
    return p;
}

// The text of a <source> or <translation>: lupdate writes a character XML cannot carry
// (the carriage return of "\r\n") as <byte value="xd"/>.
QString catalogueText(QXmlStreamReader &xml)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
            text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUShort(nullptr, 16));
        else if (xml.isEndElement() && xml.name() != QLatin1String("byte"))
            break;
    }
    return text;
}

// The patterns of the messages' context in the language's catalogue, most specific first.
void loadPatterns(const QString &language)
{
    patterns().clear();
    QFile file(QStringLiteral(":/i18n/nbk_%1.ts").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader xml(&file);
    QString context, source, translation;
    bool finished = true;
    while (!xml.atEnd()) {
        if (!xml.readNext() || !xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == QLatin1String("message") && context == QLatin1String("Prompt")
                && finished && !translation.isEmpty())
                if (auto p = patternOf(source, translation))
                    patterns().push_back(std::move(*p));
            continue;
        }
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = catalogueText(xml);
        else if (xml.name() == QLatin1String("translation")) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            finished = type.isEmpty() || type == QLatin1String("finished");
            translation = catalogueText(xml);
        } else if (xml.name() == QLatin1String("message")) {
            source.clear();
            translation.clear();
        }
    }
    std::stable_sort(patterns().begin(), patterns().end(),
                     [](const Pattern &a, const Pattern &b) { return a.fixed > b.fixed; });
}

QString byPattern(const QString &text)
{
    for (const Pattern &p : patterns()) {
        const QRegularExpressionMatch m = p.match.match(text);
        if (!m.hasMatch())
            continue;
        QString out;
        qsizetype at = 0;
        for (auto it = placeholder().globalMatch(p.translation); it.hasNext();) {
            const QRegularExpressionMatch h = it.next();
            out += p.translation.mid(at, h.capturedStart() - at);
            const auto slot = std::find(p.order.begin(), p.order.end(), h.captured(1).toInt());
            out += slot == p.order.end() ? h.captured() : m.captured(int(slot - p.order.begin()) + 1);
            at = h.capturedEnd();
        }
        return out + p.translation.mid(at);
    }
    return {};
}

QString translatedLine(const QString &line)
{
    const QString fixed = QCoreApplication::translate("Prompt", line.toUtf8().constData());
    if (fixed != line || patterns().empty())
        return fixed;
    const QString worded = byPattern(line);
    return worded.isNull() ? line : worded;
}

}  // namespace

bool useLanguage(const QString &language)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    patterns().clear();
    if (language.isEmpty() || language == QLatin1String("en"))
        return true;
    auto translator = std::make_unique<QTranslator>();
    // the translations are built into the program; a language without one stays English
    if (!translator->load(QStringLiteral(":/i18n/nbk_%1.qm").arg(language)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    loadPatterns(language);
    return true;
}

// The titles and buttons of the message boxes, translated where they are shown.
[[maybe_unused]] const char *const kPromptWords[] = {
    QT_TRANSLATE_NOOP("Prompt", "Error"),    QT_TRANSLATE_NOOP("Prompt", "Error."),
    QT_TRANSLATE_NOOP("Prompt", "Error. Invalid Date"), QT_TRANSLATE_NOOP("Prompt", "Error. Invalid Class"),
    QT_TRANSLATE_NOOP("Prompt", "Information"), QT_TRANSLATE_NOOP("Prompt", "Question"),
    QT_TRANSLATE_NOOP("Prompt", "Confirm"),  QT_TRANSLATE_NOOP("Prompt", "Success"),
    QT_TRANSLATE_NOOP("Prompt", "Enquiry."), QT_TRANSLATE_NOOP("Prompt", "Reservation"),
    QT_TRANSLATE_NOOP("Prompt", "OK"),       QT_TRANSLATE_NOOP("Prompt", "Cancel"),
    QT_TRANSLATE_NOOP("Prompt", "&Yes"),     QT_TRANSLATE_NOOP("Prompt", "&No"),
};

QString shownText(const QString &text)
{
    // the messages of every screen share one context: a text is translated once wherever it
    // is shown
    const QString whole = translatedLine(text);
    if (whole != text || !text.contains(QLatin1Char('\n')))
        return whole;
    // a message made of several (the search's runs, a question with its particulars) is
    // translated line by line
    static const QRegularExpression breaks(QStringLiteral("(\r?\n)"));
    QString out;
    qsizetype at = 0;
    for (auto it = breaks.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += translatedLine(text.mid(at, m.capturedStart() - at)) + m.captured();
        at = m.capturedEnd();
    }
    return out + translatedLine(text.mid(at));
}

}  // namespace nbk::ui

#include "ui/Language.h"

#include <QCoreApplication>
#include <QTranslator>
#include <memory>

namespace nbk::ui {

QString chosenLanguage(const QString &option, const QString &variable, const QString &system)
{
    for (const QString &given : {option, variable})
        if (!given.trimmed().isEmpty())
            return given.trimmed().toLower().section(QLatin1Char('_'), 0, 0);
    return system.startsWith(QLatin1String("kn")) ? QStringLiteral("kn") : QStringLiteral("en");
}

bool useLanguage(const QString &language)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language.isEmpty() || language == QLatin1String("en"))
        return true;
    auto translator = std::make_unique<QTranslator>();
    // the translations are built into the program; a language without one stays English
    if (!translator->load(QStringLiteral(":/i18n/nbk_%1.qm").arg(language)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
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
    return QCoreApplication::translate("Prompt", text.toUtf8().constData());
}

}  // namespace nbk::ui

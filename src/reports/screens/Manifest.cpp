#include "reports/screens/Manifest.h"

#include "data/session/Class1.h"
#include "reports/screens/ReportViews.h"
#include "reports/TicketQueries.h"
#include "ui/MsgBox.h"

Manifest::Manifest(QWidget *parent)
    : ValueRequest(parent, QStringLiteral("Manifest"), QStringLiteral("Conductor's Manifest"),
                   QStringLiteral("Run number"), QStringLiteral("Show Manifest"))
{
}

void Manifest::request(const QString &value)
{
    const nbk::reports::RunManifestOutcome o = nbk::reports::runManifest(*DbSession, value);
    if (o.message)
        nbk::ui::MsgBox(o.message->text, o.message->style, o.message->title);
    else
        nbk::reports::showManifest(o.manifest);
}

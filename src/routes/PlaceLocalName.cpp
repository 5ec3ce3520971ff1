#include "routes/PlaceLocalName.h"

#include "data/dialect/SqlText.h"
#include "data/session/Connection.h"

namespace nbk::routes {

void setPlaceLocalName(data::Connection &cn, const QString &code, const QString &name)
{
    cn.execute(QStringLiteral("DELETE FROM place_local_name WHERE place = '%1'").arg(data::sqlText(code)));
    const QString local = name.trimmed();
    if (!local.isEmpty())
        cn.execute(QStringLiteral("INSERT INTO place_local_name (place, name) VALUES ('%1', '%2')")
                       .arg(data::sqlText(code), data::sqlText(local)));
}

}  // namespace nbk::routes

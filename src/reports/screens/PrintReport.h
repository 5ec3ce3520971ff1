#pragma once
#include "reports/engine/Paginator.h"

class QPrinter;

namespace nbk::report {

// Every page in turn on a printer (preview printers included), one sheet each; the
// printer's page size is set from the report. False when the painter cannot start.
// Beside the preview, not in the engine: printers come with Qt's widgets.
bool print(const PagedReport &report, QPrinter &printer);

}  // namespace nbk::report

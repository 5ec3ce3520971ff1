#pragma once
#include <QImage>
#include <QString>
#include <deque>
#include <utility>

namespace nbk::report {

// A rectangle in twips (1/1440 inch). Control rectangles are relative to their section's
// top-left corner; page items are relative to the page's top-left corner.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipRect &) const = default;
};

// Fonts stay plain values so that a layout can be built and paginated without a
// QGuiApplication; the renderer turns them into QFonts for its device.
struct ReportFont {
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 8.0;
    bool bold = false;
    bool italic = false;
    bool fixedPitch = false;  // the seat chart's header and lines must stand in columns
    bool operator==(const ReportFont &) const = default;

    static ReportFont fixed(double pointSize = 8.0);  // DejaVu Sans Mono
};

enum class Align { Left, Centre, Right };

enum class ControlKind { Label, TextBox, Line, Image };

// A text that does not fit its control at the design's size takes a smaller size, down to
// kFloorPointSize (what stays readable on paper); beyond that it is cut with an ellipsis
// (Cut) or wraps onto more lines, its control growing downwards and its band with it (Wrap).
// A fixed-pitch text wraps after a whole number of characters, so that wrapped chart lines
// still stand in the columns of their header.
enum class Overflow { Cut, Wrap };
inline constexpr double kFloorPointSize = 7.0;

// Default height of a control whose design gives none (one line of 8-point text).
inline constexpr int DefaultControlHeight = 285;

struct ReportControl {
    ControlKind kind = ControlKind::Label;
    QString name;
    TwipRect rect;
    bool visible = true;
    ReportFont font;
    Align align = Align::Left;

    QString caption;     // Label
    QString dataMember;  // TextBox: kept for the screens; the engine binds one row source
    QString dataField;   // TextBox: column name, letter case ignored
    QString format;      // TextBox: display format, e.g. "m/d/yy h:nn"; empty = general
    QImage image;        // Image: drawn scaled into rect, modules kept sharp
    int lineWidth = 15;  // Line: pen width in twips (about one point)
    Overflow overflow = Overflow::Cut;
    bool shrink = true;  // false: the text keeps its size (the chart sizes its columns itself)

    bool isLabel() const { return kind == ControlKind::Label; }
    bool isTextBox() const { return kind == ControlKind::TextBox; }

    // Chainable set-up for the layout definitions.
    ReportControl &setFont(const ReportFont &f) { font = f; return *this; }
    ReportControl &setAlign(Align a) { align = a; return *this; }
    ReportControl &setFormat(const QString &f) { format = f; return *this; }
    ReportControl &setVisible(bool v) { visible = v; return *this; }
    ReportControl &setDataMember(const QString &m) { dataMember = m; return *this; }
    ReportControl &setOverflow(Overflow o) { overflow = o; return *this; }
    ReportControl &wraps() { return setOverflow(Overflow::Wrap); }
    ReportControl &keepSize() { shrink = false; return *this; }
};

enum class SectionKind { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };

class ReportSection {
public:
    ReportSection() = default;
    ReportSection(QString name, SectionKind kind, int heightTwips);

    QString name;
    SectionKind kind = SectionKind::Detail;
    int height = 0;  // twips
    bool visible = true;

    // Controls in their design order: the screens walk them by position. A deque, so that
    // a reference kept from addLabel() and friends survives the next add.
    std::deque<ReportControl> controls;
    int count() const { return int(controls.size()); }
    // By position from 0; throws std::out_of_range naming the section.
    ReportControl &at(int index);
    const ReportControl &at(int index) const;
    // By name, letter case ignored; throws std::out_of_range when absent.
    ReportControl &control(const QString &controlName);
    const ReportControl &control(const QString &controlName) const;
    ReportControl *find(const QString &controlName);

    // Appending controls (rectangles in twips relative to the section).
    ReportControl &addLabel(const QString &name, const QString &caption, TwipRect rect);
    ReportControl &addTextBox(const QString &name, const QString &dataField, TwipRect rect);
    ReportControl &addLine(const QString &name, TwipRect rect);
    ReportControl &addImage(const QString &name, const QImage &image, TwipRect rect);
};

// The printable page: A4 with one-inch margins unless a layout says otherwise.
struct PageSetup {
    // 80 mm ticket roll paper with 4 mm margins: 72 mm printable, as counter printers give
    static PageSetup ticketRoll();

    int width = 11906;   // twips
    int height = 16838;  // twips
    int leftMargin = 1440;
    int topMargin = 1440;
    int rightMargin = 1440;
    int bottomMargin = 1440;
    // A ticket roll: one page as long as its content, the page footer straight after it;
    // the paginator sets the height.
    bool roll = false;
    int bodyWidth() const { return width - leftMargin - rightMargin; }
    int bodyHeight() const { return height - topMargin - bottomMargin; }
    // The same sheet turned on its side (margins stay with their edges' roles).
    PageSetup landscape() const
    {
        PageSetup p = *this;
        if (width < height)
            std::swap(p.width, p.height);
        return p;
    }
    bool operator==(const PageSetup &) const = default;
};

// A banded report design as a value: sections by name, ordered controls, captions and
// field bindings that the screens change at run time before each refresh.
class ReportLayout {
public:
    ReportLayout() = default;
    ReportLayout(QString name, QString title);

    QString name;       // e.g. "TicketReport"
    QString title;      // preview window title
    QString dataMember; // kept for the screens that set it to the empty text
    PageSetup page;

    std::deque<ReportSection> sections;  // references from addSection() stay valid

    ReportSection &addSection(const QString &name, SectionKind kind, int heightTwips);
    // By name, letter case ignored; throws std::out_of_range when absent.
    ReportSection &section(const QString &sectionName);
    const ReportSection &section(const QString &sectionName) const;
    ReportSection *findSection(const QString &sectionName);
    // The first section of a band, or nullptr.
    const ReportSection *sectionOf(SectionKind kind) const;

    // Run-time access as the screens need it: "control i of Section2".
    ReportControl &control(const QString &sectionName, int index);
    ReportControl &control(const QString &sectionName, const QString &controlName);
    void setCaption(const QString &sectionName, int index, const QString &caption);
    void setCaption(const QString &sectionName, const QString &controlName, const QString &caption);
    void setVisible(const QString &sectionName, int index, bool visible);
    void setDataField(const QString &sectionName, int index, const QString &dataMember,
                      const QString &dataField);
};

}  // namespace nbk::report

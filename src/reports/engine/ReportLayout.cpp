#include "reports/engine/ReportLayout.h"

#include <stdexcept>

namespace nbk::report {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

[[noreturn]] void missing(const QString &what)
{
    throw std::out_of_range(what.toStdString());
}

}  // namespace

ReportFont ReportFont::fixed(double pointSize)
{
    ReportFont f;
    f.family = QStringLiteral("DejaVu Sans Mono");
    f.pointSize = pointSize;
    f.fixedPitch = true;
    return f;
}

PageSetup PageSetup::ticketRoll()
{
    PageSetup p;
    p.width = 4535;  // 80 mm
    p.height = 4535;  // until the paginator measures the content
    p.leftMargin = p.rightMargin = p.topMargin = p.bottomMargin = 227;  // 4 mm
    p.roll = true;
    return p;
}

ReportSection::ReportSection(QString n, SectionKind k, int heightTwips)
    : name(std::move(n)), kind(k), height(heightTwips)
{
}

ReportControl &ReportSection::at(int index)
{
    if (index < 0 || index >= count())
        missing(QStringLiteral("%1 has no control at position %2").arg(name).arg(index));
    return controls[size_t(index)];
}

const ReportControl &ReportSection::at(int index) const
{
    return const_cast<ReportSection *>(this)->at(index);
}

ReportControl *ReportSection::find(const QString &controlName)
{
    for (auto &c : controls)
        if (sameName(c.name, controlName))
            return &c;
    return nullptr;
}

ReportControl &ReportSection::control(const QString &controlName)
{
    if (auto *c = find(controlName))
        return *c;
    missing(QStringLiteral("%1 has no control %2").arg(name, controlName));
}

const ReportControl &ReportSection::control(const QString &controlName) const
{
    return const_cast<ReportSection *>(this)->control(controlName);
}

ReportControl &ReportSection::addLabel(const QString &n, const QString &caption, TwipRect rect)
{
    ReportControl &c = controls.emplace_back();
    c.kind = ControlKind::Label;
    c.name = n;
    c.caption = caption;
    c.rect = rect;
    return c;
}

ReportControl &ReportSection::addTextBox(const QString &n, const QString &dataField, TwipRect rect)
{
    ReportControl &c = controls.emplace_back();
    c.kind = ControlKind::TextBox;
    c.name = n;
    c.dataField = dataField;
    c.rect = rect;
    return c;
}

ReportControl &ReportSection::addLine(const QString &n, TwipRect rect)
{
    ReportControl &c = controls.emplace_back();
    c.kind = ControlKind::Line;
    c.name = n;
    c.rect = rect;
    return c;
}

ReportControl &ReportSection::addImage(const QString &n, const QImage &image, TwipRect rect)
{
    ReportControl &c = controls.emplace_back();
    c.kind = ControlKind::Image;
    c.name = n;
    c.image = image;
    c.rect = rect;
    return c;
}

ReportLayout::ReportLayout(QString n, QString t) : name(std::move(n)), title(std::move(t)) {}

ReportSection &ReportLayout::addSection(const QString &n, SectionKind kind, int heightTwips)
{
    return sections.emplace_back(n, kind, heightTwips);
}

ReportSection *ReportLayout::findSection(const QString &sectionName)
{
    for (auto &s : sections)
        if (sameName(s.name, sectionName))
            return &s;
    return nullptr;
}

ReportSection &ReportLayout::section(const QString &sectionName)
{
    if (auto *s = findSection(sectionName))
        return *s;
    missing(QStringLiteral("%1 has no section %2").arg(name, sectionName));
}

const ReportSection &ReportLayout::section(const QString &sectionName) const
{
    return const_cast<ReportLayout *>(this)->section(sectionName);
}

const ReportSection *ReportLayout::sectionOf(SectionKind kind) const
{
    for (const auto &s : sections)
        if (s.kind == kind)
            return &s;
    return nullptr;
}

ReportControl &ReportLayout::control(const QString &sectionName, int index)
{
    return section(sectionName).at(index);
}

ReportControl &ReportLayout::control(const QString &sectionName, const QString &controlName)
{
    return section(sectionName).control(controlName);
}

void ReportLayout::setCaption(const QString &sectionName, int index, const QString &caption)
{
    control(sectionName, index).caption = caption;
}

void ReportLayout::setCaption(const QString &sectionName, const QString &controlName,
                              const QString &caption)
{
    control(sectionName, controlName).caption = caption;
}

void ReportLayout::setVisible(const QString &sectionName, int index, bool visible)
{
    control(sectionName, index).visible = visible;
}

void ReportLayout::setDataField(const QString &sectionName, int index, const QString &member,
                                const QString &field)
{
    ReportControl &c = control(sectionName, index);
    c.dataMember = member;
    c.dataField = field;
}

}  // namespace nbk::report

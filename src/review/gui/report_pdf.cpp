#include "review/gui/report_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include "common/file_io.h"
#include "language/lang_table.h"
#include "review/report.h"

namespace qm::gui {
namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

constexpr double Margin_Mm = 12.0;

} // namespace

void Set_Report_Page(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(Margin_Mm, Margin_Mm, Margin_Mm, Margin_Mm), QPageLayout::Millimeter));
}

int Paint_Report(const Report& report, QPagedPaintDevice& device) {
    const QFont base(QStringLiteral("DejaVu Sans"), 8);
    const QFont small(QStringLiteral("DejaVu Sans"), 7);
    const QFontMetricsF metrics(small, &device);
    const double width = device.width();
    const double band = metrics.height() * 2.2; // the name above, the page number below
    const double body = device.height() - 2 * band;

    QTextDocument document;
    // Points become pixels of this device, so the layout matches what is painted.
    document.documentLayout()->setPaintDevice(&device);
    document.setDefaultFont(base);
    document.setDocumentMargin(0);
    document.setHtml(Text(Report_Html(report, Html_Flavour::Qt)));
    document.setPageSize(QSizeF(width, body));
    const int pages = document.pageCount();

    QPainter painter(&device);
    const QString name = Text(report.configuration_name);
    const QString title = Text(report.title);
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        painter.save();
        painter.translate(0, band - page * body);
        const QRectF clip(0, page * body, width, body);
        painter.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(small);
        painter.setPen(QColor(90, 90, 90));
        const QRectF top(0, 0, width, metrics.height());
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, title);
        painter.drawLine(QPointF(0, metrics.height() * 1.3), QPointF(width, metrics.height() * 1.3));
        const QRectF bottom(0, device.height() - metrics.height(), width, metrics.height());
        painter.drawLine(QPointF(0, bottom.top() - metrics.height() * 0.3), QPointF(width, bottom.top() - metrics.height() * 0.3));
        painter.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter,
                         Text(Lang(305)) + QString::number(page + 1) + Text(Lang(306)) + QString::number(pages));
    }
    painter.end();
    return pages;
}

Pdf_Result Write_Report_Pdf(const Report& report, const std::string& path) {
    Pdf_Result result;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(Text(report.title + " - " + report.configuration_name));
        writer.setCreator(QStringLiteral("Quillmaker"));
        Set_Report_Page(writer);
        result.pages = Paint_Report(report, writer);
    }
    const QByteArray& bytes = buffer.data();
    const Io_Result written = Write_File_Atomic(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    result.ok = written.ok;
    result.message = written.message;
    return result;
}

Pdf_Result Write_Report_Pdf_Offscreen(const Report& report, const std::string& path) {
    if (QGuiApplication::instance() != nullptr) return Write_Report_Pdf(report, path);
    static char program[] = "quillmaker-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, option, platform, nullptr};
    int argc = 3;
    const QGuiApplication application(argc, argv);
    return Write_Report_Pdf(report, path);
}

} // namespace qm::gui

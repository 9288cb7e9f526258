#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include "report/report_writer.h"

namespace zt::report {

QByteArray CommissionPdf(const CommissionRecord& record, Language language) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(language == Language::kChinese ? QStringLiteral("调试报告")
                                                : QStringLiteral("Commissioning report"));
    pdf.setCreator(QStringLiteral("ZT6100 console ") + QString::fromStdString(record.consoleVersion));

    QTextDocument document;
    // Laid out at the PDF's resolution: point sizes then mean points on paper.
    document.documentLayout()->setPaintDevice(&pdf);
    // A CJK family first, so that the Chinese texts are drawn and embedded
    // from a font that has them.
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("SimSun")});
    font.setPointSize(9);
    document.setDefaultFont(font);
    document.setHtml(CommissionHtml(record, language));
    document.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
    document.print(&pdf);
  }
  return bytes;
}

}  // namespace zt::report

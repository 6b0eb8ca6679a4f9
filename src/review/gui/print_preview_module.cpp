// Qt's print preview, as a module the program loads when a report is first shown.

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include "review/gui/print_preview_entry.h"

extern "C" QM_PREVIEW_EXPORT void Qm_Print_Preview(const Qm_Print_Preview_Request* request) {
    QPrinter printer(QPrinter::HighResolution);
    request->set_page(printer);
    printer.setDocName(request->document_name);
    QPrintPreviewDialog preview(&printer, request->parent);
    preview.setObjectName(request->object_name);
    preview.setWindowTitle(request->window_title);
    preview.resize(request->size);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [request](QPrinter* device) { request->paint(*device); });
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        QAction* extra = toolbar->addAction(request->extra_icon, request->extra_text);
        extra->setObjectName(request->extra_object_name);
        extra->setToolTip(request->extra_text);
        QObject::connect(extra, &QAction::triggered, &preview, [request, &preview] { request->extra_action(&preview); });
    }
    preview.exec();
}

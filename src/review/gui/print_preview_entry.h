#pragma once
// The entry point of the print preview's module (print_preview_module.cpp): the one part of the
// program that needs Qt's print support, loaded when a report is first shown so that starting
// the program does not load that library and the printing system's behind it.

#include <QIcon>
#include <QSize>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

#ifdef _WIN32
#define QM_PREVIEW_EXPORT __declspec(dllexport)
#else
#define QM_PREVIEW_EXPORT __attribute__((visibility("default")))
#endif

struct Qm_Print_Preview_Request {
    QWidget* parent = nullptr;
    QString object_name;
    QString window_title;
    QString document_name; // what the printer's queue shows
    QSize size;
    // The button added to the preview's tool bar, and what it does.
    QString extra_text;
    QString extra_object_name;
    QIcon extra_icon;
    std::function<void(QWidget* preview)> extra_action;
    std::function<void(QPagedPaintDevice& device)> set_page; // before the first painting
    std::function<void(QPagedPaintDevice& device)> paint;    // each time the preview paints
};

// Shows the preview as a modal window and returns when it is closed.
using Qm_Print_Preview_Function = void (*)(const Qm_Print_Preview_Request* request);
inline constexpr const char* Qm_Print_Preview_Symbol = "Qm_Print_Preview";

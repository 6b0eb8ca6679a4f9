#pragma once
// The entry point of the version query's module (version_query_module.cpp): the one part of the
// program that needs Qt's network library, loaded on the first query so that starting the
// program does not load that library and the security libraries behind it.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

#ifdef _WIN32
#define QM_MODULE_EXPORT __declspec(dllexport)
#else
#define QM_MODULE_EXPORT __attribute__((visibility("default")))
#endif

struct Qm_Version_Query_Request {
    QObject* owner = nullptr; // the connection lives under it and ends with it
    QString host;
    quint16 port = 80;
    QByteArray request;       // sent as it is once connected
    int timeout_ms = 0;       // for the whole query, not only the connection
    qsizetype limit = 0;      // a longer reply ends the query as failed
    // Whether the bytes so far are a whole reply (one with a length may end before the close).
    std::function<bool(const QByteArray& raw)> complete;
    // Called exactly once: whole is false on an error, the deadline or an oversized reply.
    std::function<void(bool whole, const QByteArray& raw)> finished;
};

using Qm_Version_Query_Function = void (*)(const Qm_Version_Query_Request* request);
inline constexpr const char* Qm_Version_Query_Symbol = "Qm_Version_Query";

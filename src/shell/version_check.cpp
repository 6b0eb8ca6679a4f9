#include "shell/version_check.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

#include <utility>

#include "common/app_state.h"
#include "common/module_loader.h"
#include "shell/maker_site.h"
#include "shell/version_query_entry.h"
#include "shell/version_reply.h"


namespace qm::gui {
namespace {

#ifdef QM_VERSION_QUERY_MODULE
constexpr const char* Version_Query_Module = QM_VERSION_QUERY_MODULE;
#else
constexpr const char* Version_Query_Module = "qm_version_query";
#endif

std::function<void(const QString&)>& Url_Opener() {
    static std::function<void(const QString&)> opener;
    return opener;
}

QString Site(const QString& host, quint16 port) {
    QString site = QStringLiteral("http://") + host;
    if (port != 0) {
        site += QLatin1Char(':') + QString::number(port);
    }
    return site;
}

} // namespace

QString Maker_Host() {
    return QString::fromStdString(qm::Maker_Host());
}

QString Download_Url() {
    return QString::fromStdString(qm::Download_Url());
}

QString Home_Url() {
    return QString::fromStdString(qm::Home_Url());
}

void Open_Url(const QString& url) {
    if (Url_Opener()) {
        Url_Opener()(url);
    } else {
        QDesktopServices::openUrl(QUrl(url));
    }
}

void Set_Url_Opener(std::function<void(const QString&)> opener) {
    Url_Opener() = std::move(opener);
}

Version_Check::Version_Check(QObject* parent)
    : QObject(parent), host_(Maker_Host()) {
    setObjectName(QStringLiteral("Version_Check"));
}

void Version_Check::Set_Server(const QString& host, quint16 port) {
    host_ = host;
    port_ = port;
}

QString Version_Check::Query_Path() {
    return QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + QString::fromUtf8(SW_Code);
}

QString Version_Check::Query_Url() const {
    return Site(host_, port_) + Query_Path();
}

void Version_Check::Query(std::function<void(bool newer)> done) {
    // Loaded on the first query: the network library and the security libraries behind it are
    // needed by nothing else.
    static Qm_Version_Query_Function query = nullptr;
    if (query == nullptr) {
        std::string why;
        query = Load_Module_Function<Qm_Version_Query_Function>(Version_Query_Module, Qm_Version_Query_Symbol, why);
        if (query == nullptr) {
            // A broken installation answers as any failed query: no newer version is offered.
            // Answered later, as a query is.
            QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
            return;
        }
    }
    Qm_Version_Query_Request request;
    request.owner = this;
    request.host = host_;
    request.port = port_ != 0 ? port_ : 80;
    request.request = QByteArray::fromStdString(Version_Request(host_.toStdString(), port_, Query_Path().toStdString()));
    request.timeout_ms = timeout_ms_;
    request.limit = static_cast<qsizetype>(Max_Version_Reply_Bytes + Max_Version_Head_Bytes);
    request.complete = [](const QByteArray& raw) {
        return Http_Reply_Complete(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
    };
    request.finished = [done = std::move(done)](bool whole, const QByteArray& raw) {
        std::string body;
        if (whole) {
            body = Http_Reply_Body(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())))
                       .value_or(std::string());
        }
        done(Reply_Offers_Newer(body, Program_Version));
    };
    query(&request);
}

} // namespace qm::gui

#include "shell/version_check.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <utility>

#include "common/app_state.h"
#include "shell/version_reply.h"

#ifndef QM_MAKER_HOST
#define QM_MAKER_HOST "updates.quillmaker.example"
#endif

namespace qm::gui {
namespace {

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
    return QString::fromUtf8(QM_MAKER_HOST);
}

QString Download_Url() {
    return Site(Maker_Host(), 0) + QStringLiteral("/Home/download/download.asp#GW39174");
}

QString Home_Url() {
    return Site(Maker_Host(), 0) + QStringLiteral("/HOME/default.asp?frompg=") + QString::fromUtf8(SW_Code);
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
    : QObject(parent), manager_(new QNetworkAccessManager(this)), Timer_Update(new QTimer(this)),
      host_(Maker_Host()) {
    // A direct connection, as the query always made; it also keeps a test's traffic on its own host.
    manager_->setProxy(QNetworkProxy::NoProxy);
    // Unnamed: the main window's own timer is the one called Timer_Update.
    setObjectName(QStringLiteral("Version_Check"));
    Timer_Update->setInterval(First_Check_Ms);
    connect(Timer_Update, &QTimer::timeout, this, &Version_Check::Timer_UpdateTimer);
}

void Version_Check::Set_Server(const QString& host, quint16 port) {
    host_ = host;
    port_ = port;
}

QString Version_Check::Query_Url() const {
    return Site(host_, port_) + QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + QString::fromUtf8(SW_Code);
}

void Version_Check::Query(std::function<void(bool newer)> done) {
    QNetworkRequest request{QUrl(Query_Url())};
    request.setRawHeader("Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    // A redirect is an error status here, as it always was.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);

    QNetworkReply* reply = manager_->get(request);
    reply->setReadBufferSize(static_cast<qint64>(Max_Version_Reply_Bytes) + 1);
    auto body = std::make_shared<QByteArray>();

    // Reads what has arrived; false once the reply is too long to be a version text.
    const auto take = [reply, body] {
        const qint64 room = static_cast<qint64>(Max_Version_Reply_Bytes) + 1 - body->size();
        if (room > 0) {
            body->append(reply->read(room));
        }
        return body->size() <= static_cast<qsizetype>(Max_Version_Reply_Bytes);
    };
    connect(reply, &QNetworkReply::readyRead, reply, [reply, take] {
        if (!take()) {
            reply->abort();
        }
    });

    // The whole query, not only a silent connection, is bounded.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeout_ms_);

    connect(reply, &QNetworkReply::finished, this, [reply, body, take, done = std::move(done)] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool whole = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 && take();
        reply->deleteLater();
        const std::string text = whole ? body->toStdString() : std::string();
        done(Reply_Offers_Newer(text, Program_Version));
    });
}

bool Version_Check::Check_Version() {
    // Shared with the query's callback, which may outlive this call if the application quits
    // while waiting.
    struct Wait {
        bool finished = false;
        bool newer = false;
        QEventLoop* loop = nullptr;
    };
    auto wait = std::make_shared<Wait>();
    QEventLoop loop;
    wait->loop = &loop;
    Query([wait](bool newer) {
        wait->finished = true;
        wait->newer = newer;
        if (wait->loop != nullptr) {
            wait->loop->quit();
        }
    });
    if (!wait->finished) {
        loop.exec();
    }
    wait->loop = nullptr;
    return wait->finished && wait->newer;
}

void Version_Check::Set_Enabled(bool on) {
    enabled_ = on;
    if (!on) {
        Timer_Update->stop();
    } else if (!Timer_Update->isActive()) {
        Timer_Update->start();
    }
}

void Version_Check::Timer_UpdateTimer() {
    Timer_Update->stop();
    Query([self = QPointer<Version_Check>(this)](bool newer) {
        if (self == nullptr) {
            return;
        }
        emit self->Checked(newer);
        // Switched off while the query ran: stay off.
        if (self->enabled_) {
            self->Timer_Update->setInterval(Later_Checks_Ms);
            self->Timer_Update->start();
        }
    });
}

} // namespace qm::gui

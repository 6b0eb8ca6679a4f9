#include "common/gui/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

#include "common/file_io.h"

namespace qm::gui {

namespace {

// Language file names of the program and Qt's codes for them.
struct Language_Code {
    const char* file_name;
    const char* code;
};
constexpr Language_Code Codes[] = {{"Italiano", "it"}};

QTranslator*& Installed() {
    static QTranslator* translator = nullptr;
    return translator;
}

} // namespace

QString Qt_Language_Code(const std::string& language) {
    for (const Language_Code& entry : Codes) {
        if (language == entry.file_name) {
            return QString::fromLatin1(entry.code);
        }
    }
    return {};
}

bool Load_Qt_Translations(const std::string& language) {
    if (QTranslator* old = Installed()) {
        QCoreApplication::removeTranslator(old);
        delete old;
        Installed() = nullptr;
    }
    const QString code = Qt_Language_Code(language);
    if (code.isEmpty()) {
        return false;
    }
    // Qt's own folder (Debian's qt6-translations-l10n), else a "translations" folder beside the
    // program, where a Windows build ships them.
    const QString name = QStringLiteral("qtbase_") + code;
    const QString beside = QDir(QString::fromUtf8(Program_Dir().c_str())).filePath(QStringLiteral("translations"));
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath), beside}) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            Installed() = translator.release();
            return true;
        }
    }
    return false;
}

} // namespace qm::gui

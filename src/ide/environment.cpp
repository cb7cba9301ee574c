#include "ide/environment.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "ide/main_window.h"

namespace tw {
namespace {

QString Key(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

bool SettingsFlags::ReadFlag(std::string_view section, std::string_view name, bool fallback) {
    QSettings settings("Tarnwick", "Tarnwick");
    return settings.value(Key(section, name), fallback).toBool();
}

void SettingsFlags::WriteFlag(std::string_view section, std::string_view name, bool value) {
    QSettings settings("Tarnwick", "Tarnwick");
    settings.setValue(Key(section, name), value);
    settings.sync();
}

std::vector<std::string> SettingsFlags::ReadList(std::string_view section,
                                                std::string_view name) {
    QSettings settings("Tarnwick", "Tarnwick");
    std::vector<std::string> list;
    for (const QString& item : settings.value(Key(section, name)).toStringList()) {
        list.push_back(item.toStdString());
    }
    return list;
}

void SettingsFlags::WriteList(std::string_view section, std::string_view name,
                              const std::vector<std::string>& list) {
    QSettings settings("Tarnwick", "Tarnwick");
    QStringList items;
    for (const std::string& item : list) items.push_back(QString::fromStdString(item));
    settings.setValue(Key(section, name), items);
    settings.sync();
}

int RunEnvironment(int argc, char** argv, const QString& projectPath) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tarnwick");
    QApplication::setApplicationName("Tarnwick");
    SettingsFlags flags;
    MainWindow window(flags);
    // The window is unusable until the logo has closed.
    window.setEnabled(false);
    window.show();
    QTimer::singleShot(0, &window, [&window, projectPath] { window.StartUp(projectPath); });
    return QApplication::exec();
}

}  // namespace tw

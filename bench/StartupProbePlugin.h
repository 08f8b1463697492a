#pragma once

#include <QGenericPlugin>

// Entry point Qt calls for each name in QT_QPA_GENERIC_PLUGINS.
class StartupProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "StartupProbe.json")

public:
    QObject* create(const QString& name, const QString& parameters) override;
};

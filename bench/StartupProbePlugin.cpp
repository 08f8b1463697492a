#include "bench/StartupProbePlugin.h"

#include "bench/StartupProbe.h"
#include "bench/StartupProbeLine.h"

QObject* StartupProbePlugin::create(const QString& name, const QString& /*parameters*/) {
    if (name.toStdString() != startup_probe::kPluginKey) {
        return nullptr;
    }
    // QGuiApplication keeps the object it asked for and deletes it when it
    // goes; a parent would delete it a second time.
    return new StartupProbe;
}

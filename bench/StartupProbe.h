#pragma once

#include <QObject>

// Loaded into px520 as a Qt generic plugin, so the program itself carries
// no benchmark code: prints when the application object exists and when the
// main window has finished its first paint, then ends the run. The calls the
// window queues to itself are held back until then, so the start-up work
// they carry is not counted.
class StartupProbe : public QObject {
    Q_OBJECT

public:
    StartupProbe();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reportShown();

    bool painted = false;
};

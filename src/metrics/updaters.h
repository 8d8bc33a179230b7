// What each updater the token table names is: the function that makes its
// one system query and writes its tokens, the interval setting that paces
// it (the frame runs it on that setting's timer), and what makes its next
// reading a first one when a format change brings its tokens back.
#pragma once

#include "format/tokens.h"
#include "settings/settings.h"

struct MetricUpdater {
    void (*update)();
    int Settings::*interval;
    void (*restart)();  // null: it keeps no earlier reading
};
extern const MetricUpdater kMetricUpdaters[UpdaterCount];

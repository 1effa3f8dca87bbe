// A synthesis source that reaches up into the application: the layer check must refuse it.
#include "settings/signal_settings.h"
#include "oscillator/oscillator.h"
#include "core/playback/stream_engine.h"

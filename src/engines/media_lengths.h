// How long media files play, as the engines measure them: the frame delays of an animated GIF come
// from the picture codec. Sounds and videos have no engine on this device yet and answer "no
// length", so their slides keep the default duration.
#pragma once

#include "model/media_length.h"

const MediaLengthSource& EngineMediaLengths();

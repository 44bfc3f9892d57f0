// How long media files play, as the engines measure them: an animated GIF's frame delays from the
// picture codec, a sound's length from the audio engine, a video's from the video engine's third
// value of Video_GetVideoInfo. Without an answer (no engine, unreadable file) a slide keeps its
// default duration.
#pragma once

#include "model/media_length.h"

const MediaLengthSource& EngineMediaLengths();

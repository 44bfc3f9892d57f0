// The media part of the module's shut-down, in its fixed order: the picture codecs, the shared
// audio engine, its notifications, the video engine, the SVG context, then the engine library.
#pragma once

// The engine library's unloading result.
int ShutDownMediaEngines();

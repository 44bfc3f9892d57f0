// The SVG player library "svgplayback.dll" behind the adapter the views use: loaded by its bare
// name on the first request into the process's SVG context, its entry points resolved by name on
// first use and cached. Each call returns its failure value without calling when the library is not
// loaded, the player (or the second pointer) is null, or the name does not resolve.
#pragma once

#include "engines/dib_image.h"
#include "engines/svg_playback_abi.h"
#include "platform/win_types.h"

SvgPlayerHandle AS_CreatePlayer();
int32_t AS_ReleasePlayer(SvgPlayerHandle player);
SvgFileHandle AS_OpenFile(SvgPlayerHandle player, LPCWSTR path);
int32_t AS_CloseFile(SvgPlayerHandle player, SvgFileHandle file);
int32_t AS_SelectFile(SvgPlayerHandle player, SvgFileHandle file);
int32_t AS_GetSVGInfo(SvgPlayerHandle player, SvgInfo* info);
int32_t AS_SetDisplayParam(SvgPlayerHandle player, const SvgDisplayParam* param);
int32_t AS_GetFirstFrame(SvgPlayerHandle player, LPCWSTR path, SvgFrameRequest* request);
int32_t AS_Play(SvgPlayerHandle player);
int32_t AS_Pause(SvgPlayerHandle player);
int32_t AS_Stop(SvgPlayerHandle player, int32_t flag);
int32_t AS_ZoomByPoint(SvgPlayerHandle player, int32_t x, int32_t y, int32_t factorPercent);
int32_t AS_Pan(SvgPlayerHandle player, int32_t dx, int32_t dy);
int32_t AS_InvalidateRect(SvgPlayerHandle player, int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t AS_SetEvent(SvgPlayerHandle player, int32_t kind, int32_t x, int32_t y);
int32_t AS_SetCallback(SvgPlayerHandle player, int32_t kind, void* callback, void* user);
int32_t AS_Pack(SvgPlayerHandle player, int32_t a, int32_t b, int32_t c, int32_t d);

// The first frame of an SVG file at width x height as a 24-bit DibImage, or null.
DibImage* RenderSvgFirstFrame(LPCWSTR path, LONG width, LONG height, DWORD flags);

// The picture's own size (rounded up) and exact size, through a player of its own.
BOOL GetSvgInfo(LPCWSTR path, SvgInfo* info);

// The size an SVG takes in a box: scaled up or down to fit with its aspect kept, sides rounded up.
SIZE FitSvgSize(const SvgInfo& info, SIZE box);

// Frees the library and the SVG context (at module shut-down); a later request loads it again.
void DestroySvgContext();

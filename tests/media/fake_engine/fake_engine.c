/* An engine library with only the recording family, and no Record_Stop: it counts what it is asked
   so that tests can see which calls the adapter made. */
#include <stdint.h>
#include <stddef.h>

static int32_t g_created;
static int32_t g_destroyed;
static int32_t g_started;
static int32_t g_nullNext;
static int32_t g_token;

__attribute__((visibility("default"))) void* GetRecordEngine(int32_t type) {
  (void)type;
  ++g_created;
  if (g_nullNext) return NULL;
  return &g_token;
}

__attribute__((visibility("default"))) int32_t Record_Start(void* engine, const void* path, void* window,
                                                            int32_t limit, int32_t type) {
  (void)path;
  (void)window;
  (void)type;
  if (engine != &g_token || limit < 1) return 0;
  ++g_started;
  return 1;
}

__attribute__((visibility("default"))) void DestroyRecordEngine(void** holder) {
  ++g_destroyed;
  if (holder != NULL) *holder = NULL;
}

/* For the tests: the counters, and whether GetRecordEngine answers with no engine. */
__attribute__((visibility("default"))) void Fake_Counters(int32_t* created, int32_t* destroyed, int32_t* started) {
  *created = g_created;
  *destroyed = g_destroyed;
  *started = g_started;
}

__attribute__((visibility("default"))) void Fake_Reset(int32_t nullEngine) {
  g_created = g_destroyed = g_started = 0;
  g_nullNext = nullEngine;
}

// GStreamer and GLib keep process-wide caches (type system, plug-in registry) that are never
// freed, and fontconfig its parsed configuration; they are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0\nleak:libgobject-2.0\nleak:libgstreamer-1.0\nleak:libgst\nleak:libasound\n"
         "leak:libgio-2.0\nleak:libpulse\nleak:libdbus\nleak:libfontconfig.so\n";
}

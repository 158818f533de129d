#pragma once

class QFile;

// Writes what `f` holds through to the disk, so a power cut never leaves an
// empty or half file under a name that promises a whole one.
bool flushToDisk(QFile& f);

// The plug-in information record as this module fills it.
#pragma once

// Writes the module's texts and integers into the host's record, each text
// with its terminating zero and nothing more.
void WritePluginInfo(unsigned char* record);

// The HTML export's page script (html_page.js), built into the program so
// that every page carries it inline and works offline.
#pragma once

extern const char kHtmlPageScript[];

#include "jet/jet_format.h"

// clang-format off
const JetFormat kJet3Format = {
    /*jet3*/ true, /*pageSize*/ 2048, /*headerMaskedLength*/ 126, /*headerSortOrder*/ 0x3A,
    /*rowCountOffset*/ 8, /*maxRowSize*/ 2012, /*rowColumnCountSize*/ 1,
    /*definitionRowCount*/ 12, /*definitionMaxColumns*/ 21, /*definitionVariableColumns*/ 23,
    /*definitionColumnCount*/ 25, /*definitionRealIndexCount*/ 31, /*definitionUsedPagesMap*/ 35,
    /*definitionFirstRealIndex*/ 43, /*realIndexEntrySize*/ 8, /*columnEntrySize*/ 18, /*columnNameLengthSize*/ 1,
    /*columnNumber*/ 1, /*columnVariableIndex*/ 3, /*columnPrecision*/ 11, /*columnScale*/ 12,
    /*columnComplexId*/ -1, /*columnFlags*/ 13, /*columnExtraFlags*/ -1, /*columnFixedOffset*/ 14, /*columnSize*/ 16,
};

const JetFormat kJet4Format = {
    /*jet3*/ false, /*pageSize*/ 4096, /*headerMaskedLength*/ 128, /*headerSortOrder*/ 0x6E,
    /*rowCountOffset*/ 12, /*maxRowSize*/ 4060, /*rowColumnCountSize*/ 2,
    /*definitionRowCount*/ 16, /*definitionMaxColumns*/ 41, /*definitionVariableColumns*/ 43,
    /*definitionColumnCount*/ 45, /*definitionRealIndexCount*/ 51, /*definitionUsedPagesMap*/ 55,
    /*definitionFirstRealIndex*/ 63, /*realIndexEntrySize*/ 12, /*columnEntrySize*/ 25, /*columnNameLengthSize*/ 2,
    /*columnNumber*/ 5, /*columnVariableIndex*/ 7, /*columnPrecision*/ 11, /*columnScale*/ 12,
    /*columnComplexId*/ 11, /*columnFlags*/ 15, /*columnExtraFlags*/ 16, /*columnFixedOffset*/ 21, /*columnSize*/ 23,
};
// clang-format on

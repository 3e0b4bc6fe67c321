// Enumerations of the import engine. Their member order fixes their codes,
// which are stored in saved import settings: never reorder or insert.
#pragma once

#include <cstdint>

// How many members a stored enumeration has: a stored code outside is not
// read back. Each count follows its enumeration, so that they grow together.
template <typename E>
inline constexpr int32_t kMemberCount = 0;

enum TImportMode { imAppend, imUpdate, imAppendUpdate, imDelete, imCopy, imAppendNewOnly };
template <> inline constexpr int32_t kMemberCount<TImportMode> = imAppendNewOnly + 1;
enum TSMIActionKind { akDatasetApply, akGenerateSQL };
template <> inline constexpr int32_t kMemberCount<TSMIActionKind> = akGenerateSQL + 1;
enum TSMIAction { iaUnknown, iaAdd, iaUpdate, iaDelete };
enum TSMIResult { irUnknown, irExecuted, irCanceled, irFailed };
enum TSMIOption {
  soShowMessage,
  soExtendedStatistic,
  soSkipEmptyRow,
  soUseAnimatedControl,
  soWaitCursor,
  soAutoCloseStatistic
};
enum TSMICharacterSet { csiANSI_WINDOWS, csiASCII_MSDOS, csiEBCDIC };
template <> inline constexpr int32_t kMemberCount<TSMICharacterSet> = csiEBCDIC + 1;
enum TSMITrimSpaces { tsNoTrim, tsTrimRight, tsTrimLeft, tsTrimLeftRight };
template <> inline constexpr int32_t kMemberCount<TSMITrimSpaces> = tsTrimLeftRight + 1;
enum TSMIDateOrder { doMDY, doDMY, doYMD, doYDM, doDYM, doMYD };
template <> inline constexpr int32_t kMemberCount<TSMIDateOrder> = doMYD + 1;
enum TSMIDataType { itString, itInteger, itFloat, itDateTime, itDate, itTime, itBoolean, itBLOB, itMEMO, itGraphic };
enum TSMIFieldCharCase { ifcNormal, ifcUpperCase, ifcLowerCase, ifcProper };
template <> inline constexpr int32_t kMemberCount<TSMIFieldCharCase> = ifcProper + 1;
enum TSMIFieldDelimiter { fdNone, fdCustom, fdTab, fdSemicolon, fdComma, fdSpace };
template <> inline constexpr int32_t kMemberCount<TSMIFieldDelimiter> = fdSpace + 1;
enum TSMITextQualifier { tqNone, tqCustom, tqQuot, tqApos };
template <> inline constexpr int32_t kMemberCount<TSMITextQualifier> = tqApos + 1;
enum TSMIRecordSeparator { rsCustom, rsCRLF, rsCR, rsLF };
template <> inline constexpr int32_t kMemberCount<TSMIRecordSeparator> = rsLF + 1;
enum TTableTypeImport {
  teParadox, teDBase, teText, teHTML, teXLS, teWKS, teQuattro, teXML, teAccess, teWord, teADO,
  teSPSS, teADT, teDBISAM, teClarion, teClipboard, teWAB, teVCalendar, teODS, teOutlook, teSkype
};
template <> inline constexpr int32_t kMemberCount<TTableTypeImport> = teSkype + 1;
enum TSMIParameterEditor { ipeEdit, ipeMemo, ipeCheckBox, ipeCombobox, ipeListBox };
template <> inline constexpr int32_t kMemberCount<TSMIParameterEditor> = ipeListBox + 1;
enum TSMIParameterMode { ipmCalculate, ipmCalculateAndAsk, ipmAsk };
template <> inline constexpr int32_t kMemberCount<TSMIParameterMode> = ipmAsk + 1;

// A set of TSMIOption held in one byte, member n at bit n.
class TSMIOptions {
 public:
  constexpr TSMIOptions() = default;
  constexpr explicit TSMIOptions(uint8_t bits) : bits_(bits) {}
  constexpr bool Contains(TSMIOption o) const { return (bits_ >> o) & 1u; }
  constexpr void Include(TSMIOption o) { bits_ = static_cast<uint8_t>(bits_ | (1u << o)); }
  constexpr void Exclude(TSMIOption o) { bits_ = static_cast<uint8_t>(bits_ & ~(1u << o)); }
  constexpr uint8_t Bits() const { return bits_; }
  constexpr bool operator==(const TSMIOptions& o) const { return bits_ == o.bits_; }

 private:
  uint8_t bits_ = 0;
};

// soShowMessage, soExtendedStatistic, soUseAnimatedControl, soWaitCursor, soAutoCloseStatistic.
constexpr TSMIOptions kDefaultSMIOptions{59};

// Import specifications: the component's settings saved as name=value
// lines (UTF-8, one setting per line) and read back.
//
// Enumerations and sets are stored by their codes, characters by their code
// unit, texts with "\" escapes for backslash, CR and LF. Mapping lines and
// parameters are numbered entries ("Mappings.0=TITLE=Title",
// "Parameters.0.Name=...").
#include <fstream>
#include <ostream>
#include <sstream>

#include "import_engine/t_smi_data_formats.h"
#include "import_engine/t_smi_import_base_component.h"
#include "runtime/str_to_int.h"
#include "runtime/utf8.h"

namespace {

UnicodeString Escape(UnicodeStringView s) {
  UnicodeString out;
  for (char16_t c : s) {
    if (c == u'\\') out += u"\\\\";
    else if (c == u'\r') out += u"\\r";
    else if (c == u'\n') out += u"\\n";
    else out += c;
  }
  return out;
}

UnicodeString Unescape(UnicodeStringView s) {
  UnicodeString out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != u'\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char16_t next = s[++i];
    out += next == u'r' ? u'\r' : next == u'n' ? u'\n' : next;
  }
  return out;
}

UnicodeString Num(int64_t n) { return AsciiToUnicode(std::to_string(n)); }

// Reads a stored setting; a setting that is absent or unreadable leaves the
// current value.
class Reader {
 public:
  explicit Reader(const TStringList& lines) : lines_(lines) {}
  bool Has(UnicodeStringView name) const { return lines_.IndexOfName(name) >= 0; }
  UnicodeString Text(UnicodeStringView name, const UnicodeString& current) const {
    int32_t i = lines_.IndexOfName(name);
    return i < 0 ? current : Unescape(lines_.ValueFromIndex(i));
  }
  int32_t Int(UnicodeStringView name, int32_t current) const {
    int32_t i = lines_.IndexOfName(name);
    int32_t value = 0;
    if (i < 0 || !TryStrToInt(lines_.ValueFromIndex(i), value)) return current;
    return value;
  }
  bool Bool(UnicodeStringView name, bool current) const { return Int(name, current ? 1 : 0) != 0; }
  char16_t Char(UnicodeStringView name, char16_t current) const {
    return static_cast<char16_t>(Int(name, current));
  }
  template <typename E>
  E Enum(UnicodeStringView name, E current, int32_t count) const {
    int32_t v = Int(name, static_cast<int32_t>(current));
    return (v >= 0 && v < count) ? static_cast<E>(v) : current;
  }

 private:
  const TStringList& lines_;
};

}  // namespace

void TSMImportBaseComponent::SaveSpecificationToStream(std::ostream* stream) {
  if (!stream) return;
  TStringList out;
  auto put = [&out](const char16_t* name, const UnicodeString& value) { out.Add(UnicodeString(name) + u"=" + value); };
  const TSMIDataFormats& f = *FDataFormats;
  put(u"TableType", Num(FTableType));
  put(u"SourceFileName", Escape(FSourceFileName));
  put(u"TableName", Escape(FTableName));
  put(u"Mode", Num(FMode));
  put(u"ActionKind", Num(FActionKind));
  put(u"Options", Num(FOptions.Bits()));
  put(u"AbortOnProblem", Num(FAbortOnProblem));
  put(u"AnimatedStatus", Num(FAnimatedStatus));
  put(u"CharacterSet", Num(FCharacterSet));
  put(u"DatasetKeys", Escape(FDatasetKeys));
  put(u"TitleStatus", Escape(FTitleStatus));
  put(u"UseDisplayNames", Num(FUseDisplayNames));
  put(u"TrimSpaces", Num(FTrimSpaces));
  put(u"CommitCount", Num(FCommitCount));
  put(u"RowFirst", Num(FRowFirst));
  put(u"RowLast", Num(FRowLast));
  put(u"RowFieldNames", Num(FRowFieldNames));
  put(u"MaxScanRows", Num(FMaxScanRows));
  put(u"FieldDelimiter", Num(FFieldDelimiter));
  put(u"FieldDelimiterCustom", Num(FFieldDelimiterCustom));
  put(u"TextQualifier", Num(FTextQualifier));
  put(u"TextQualifierCustom", Num(FTextQualifierCustom));
  put(u"RecordSeparator", Num(FRecordSeparator));
  put(u"RecordSeparatorCustom", Escape(FRecordSeparatorCustom));
  put(u"Fixed", Num(FFixed));
  put(u"LoadWhen", Escape(FLoadCondition.LoadWhen()));
  put(u"SkipIf", Escape(FLoadCondition.SkipIf()));
  put(u"SQLFieldNameCharCase", Num(FSQLOptions.FieldNameCharCase()));
  put(u"SQLQuote", Num(FSQLOptions.SQLQuote()));
  put(u"SQLTerm", Escape(FSQLOptions.SQLTerm()));
  put(u"SQLQuoteOpen", Num(FSQLOptions.FieldNameOptions().SQLQuoteOpen()));
  put(u"SQLQuoteClose", Num(FSQLOptions.FieldNameOptions().SQLQuoteClose()));
  put(u"DateOrder", Num(f.DateOrder()));
  put(u"DateSeparator", Num(f.DateSeparator()));
  put(u"TimeSeparator", Num(f.TimeSeparator()));
  put(u"FourDigitYear", Num(f.FourDigitYear()));
  put(u"LeadingZerosInDate", Num(f.LeadingZerosInDate()));
  put(u"CustomDateTimeFormat", Escape(f.CustomDateTimeFormat()));
  put(u"ThousandSeparator", Num(f.ThousandSeparator()));
  put(u"DecimalSeparator", Num(f.DecimalSeparator()));
  put(u"CurrencyString", Escape(f.CurrencyString()));
  put(u"BooleanTrue", Escape(f.BooleanTrue()));
  put(u"BooleanFalse", Escape(f.BooleanFalse()));
  put(u"UseRegionalSettings", Num(f.UseRegionalSettings()));
  put(u"Mappings.Count", Num(FMappings.Count()));
  for (int32_t i = 0; i < FMappings.Count(); ++i)
    out.Add(u"Mappings." + Num(i) + u"=" + Escape(FMappings.Strings(i)));
  put(u"Parameters.Count", Num(FParameters.Count()));
  for (int32_t i = 0; i < FParameters.Count(); ++i) {
    const TSMIParameter& p = *FParameters.Items(i);
    const UnicodeString prefix = u"Parameters." + Num(i) + u".";
    out.Add(prefix + u"Name=" + Escape(p.Name()));
    out.Add(prefix + u"Caption=" + Escape(p.Caption()));
    out.Add(prefix + u"Expression=" + Escape(p.Expression()));
    out.Add(prefix + u"Description=" + Escape(p.Description()));
    out.Add(prefix + u"PromptValues=" + Escape(p.ParamPromptValues().Text()));
    out.Add(prefix + u"Editor=" + Num(p.ParameterEditor()));
    out.Add(prefix + u"Mode=" + Num(p.ParameterMode()));
    out.Add(prefix + u"Required=" + Num(p.Required()));
  }
  *stream << ToUtf8(out.Text());
}

void TSMImportBaseComponent::LoadSpecificationFromStrings(const TStringList& lines) {
  Reader r(lines);
  TSMIDataFormats& f = *FDataFormats;
  FTableType = r.Enum(u"TableType", FTableType, teSkype + 1);
  FSourceFileName = r.Text(u"SourceFileName", FSourceFileName);
  FTableName = r.Text(u"TableName", FTableName);
  FMode = r.Enum(u"Mode", FMode, imAppendNewOnly + 1);
  FActionKind = r.Enum(u"ActionKind", FActionKind, akGenerateSQL + 1);
  FOptions = TSMIOptions(static_cast<uint8_t>(r.Int(u"Options", FOptions.Bits()) & 0x3F));
  FAbortOnProblem = r.Bool(u"AbortOnProblem", FAbortOnProblem);
  FAnimatedStatus = r.Bool(u"AnimatedStatus", FAnimatedStatus);
  FCharacterSet = r.Enum(u"CharacterSet", FCharacterSet, csiEBCDIC + 1);
  FDatasetKeys = r.Text(u"DatasetKeys", FDatasetKeys);
  FTitleStatus = r.Text(u"TitleStatus", FTitleStatus);
  FUseDisplayNames = r.Bool(u"UseDisplayNames", FUseDisplayNames);
  FTrimSpaces = r.Enum(u"TrimSpaces", FTrimSpaces, tsTrimLeftRight + 1);
  FCommitCount = r.Int(u"CommitCount", FCommitCount);
  FRowFirst = r.Int(u"RowFirst", FRowFirst);
  FRowLast = r.Int(u"RowLast", FRowLast);
  FRowFieldNames = r.Int(u"RowFieldNames", FRowFieldNames);
  FMaxScanRows = r.Int(u"MaxScanRows", FMaxScanRows);
  // Each kind with its custom value as stored (not through the coupled setters).
  FFieldDelimiter = r.Enum(u"FieldDelimiter", FFieldDelimiter, fdSpace + 1);
  FFieldDelimiterCustom = r.Char(u"FieldDelimiterCustom", FFieldDelimiterCustom);
  FTextQualifier = r.Enum(u"TextQualifier", FTextQualifier, tqApos + 1);
  FTextQualifierCustom = r.Char(u"TextQualifierCustom", FTextQualifierCustom);
  FRecordSeparator = r.Enum(u"RecordSeparator", FRecordSeparator, rsLF + 1);
  FRecordSeparatorCustom = r.Text(u"RecordSeparatorCustom", FRecordSeparatorCustom);
  FFixed = r.Bool(u"Fixed", FFixed);
  FLoadCondition.SetLoadWhen(r.Text(u"LoadWhen", FLoadCondition.LoadWhen()));
  FLoadCondition.SetSkipIf(r.Text(u"SkipIf", FLoadCondition.SkipIf()));
  FSQLOptions.SetFieldNameCharCase(r.Enum(u"SQLFieldNameCharCase", FSQLOptions.FieldNameCharCase(), ifcProper + 1));
  FSQLOptions.SetSQLQuote(r.Char(u"SQLQuote", FSQLOptions.SQLQuote()));
  FSQLOptions.SetSQLTerm(r.Text(u"SQLTerm", FSQLOptions.SQLTerm()));
  FSQLOptions.FieldNameOptions().SetSQLQuoteOpen(r.Char(u"SQLQuoteOpen", FSQLOptions.FieldNameOptions().SQLQuoteOpen()));
  FSQLOptions.FieldNameOptions().SetSQLQuoteClose(
      r.Char(u"SQLQuoteClose", FSQLOptions.FieldNameOptions().SQLQuoteClose()));
  f.SetDateOrder(r.Enum(u"DateOrder", f.DateOrder(), doMYD + 1));
  f.SetDateSeparator(r.Char(u"DateSeparator", f.DateSeparator()));
  f.SetTimeSeparator(r.Char(u"TimeSeparator", f.TimeSeparator()));
  f.SetFourDigitYear(r.Bool(u"FourDigitYear", f.FourDigitYear()));
  f.SetLeadingZerosInDate(r.Bool(u"LeadingZerosInDate", f.LeadingZerosInDate()));
  f.SetCustomDateTimeFormat(r.Text(u"CustomDateTimeFormat", f.CustomDateTimeFormat()));
  f.SetThousandSeparator(r.Char(u"ThousandSeparator", f.ThousandSeparator()));
  f.SetDecimalSeparator(r.Char(u"DecimalSeparator", f.DecimalSeparator()));
  f.SetCurrencyString(r.Text(u"CurrencyString", f.CurrencyString()));
  f.SetBooleanTrue(r.Text(u"BooleanTrue", f.BooleanTrue()));
  f.SetBooleanFalse(r.Text(u"BooleanFalse", f.BooleanFalse()));
  f.SetUseRegionalSettings(r.Bool(u"UseRegionalSettings", f.UseRegionalSettings()));

  if (r.Has(u"Mappings.Count")) {
    FMappings.Clear();
    const int32_t count = r.Int(u"Mappings.Count", 0);
    for (int32_t i = 0; i < count; ++i) {
      const UnicodeString key = u"Mappings." + Num(i);
      if (r.Has(key)) FMappings.Add(r.Text(key, UnicodeString()));
    }
  }
  if (r.Has(u"Parameters.Count")) {
    FParameters.Clear();
    const int32_t count = r.Int(u"Parameters.Count", 0);
    for (int32_t i = 0; i < count; ++i) {
      const UnicodeString prefix = u"Parameters." + Num(i) + u".";
      TSMIParameter* p = FParameters.Add();
      p->SetName(r.Text(prefix + u"Name", UnicodeString()));
      p->SetCaption(r.Text(prefix + u"Caption", UnicodeString()));
      p->SetExpression(r.Text(prefix + u"Expression", UnicodeString()));
      p->SetDescription(r.Text(prefix + u"Description", UnicodeString()));
      p->ParamPromptValues().SetText(r.Text(prefix + u"PromptValues", UnicodeString()));
      p->SetParameterEditor(r.Enum(prefix + u"Editor", ipeEdit, ipeListBox + 1));
      p->SetParameterMode(r.Enum(prefix + u"Mode", ipmCalculateAndAsk, ipmAsk + 1));
      p->SetRequired(r.Bool(prefix + u"Required", false));
    }
  }
}

void TSMImportBaseComponent::SaveSpecification(const UnicodeString& fileName) {
  UnicodeString name = fileName;
  if (FOnBeforeSaveSpecification) FOnBeforeSaveSpecification(this, name);
  std::ofstream file(ToUtf8(name), std::ios::binary | std::ios::trunc);
  if (!file) throw EConvertError(u"Cannot create file \"" + name + u"\"");
  SaveSpecificationToStream(&file);
  file.close();
  if (!file) throw EConvertError(u"Cannot write file \"" + name + u"\"");
  if (FOnAfterSaveSpecification) FOnAfterSaveSpecification(this, name);
}

void TSMImportBaseComponent::LoadSpecification(const UnicodeString& fileName) {
  UnicodeString name = fileName;
  if (FOnBeforeLoadSpecification) FOnBeforeLoadSpecification(this, name);
  std::ifstream file(ToUtf8(name), std::ios::binary);
  if (!file) throw EConvertError(u"Cannot open file \"" + name + u"\"");
  std::ostringstream content;
  content << file.rdbuf();
  TStringList lines;
  lines.SetText(FromUtf8(content.str()));
  LoadSpecificationFromStrings(lines);
  if (FOnAfterLoadSpecification) FOnAfterLoadSpecification(this, name);
}

// Import specifications: the component's settings saved as name=value
// lines (UTF-8, one setting per line) and read back.
//
// Enumerations and sets are stored by their codes, characters by their code
// unit, texts with "\" escapes for backslash, CR and LF. Mapping lines and
// parameters are numbered entries ("Mappings.0=TITLE=Title",
// "Parameters.0.Name=...").
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <type_traits>
#include <vector>

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

 private:
  const TStringList& lines_;
};

// Where a setting's value lives: read and written through these two.
template <typename T>
struct Access {
  std::function<T()> get;
  std::function<void(const T&)> set;
};

// A member the table reaches directly (the coupled kind and custom values are
// stored as they are, not through their setters).
template <typename T>
Access<T> Field(T& value) {
  return {[&value] { return value; }, [&value](const T& v) { value = v; }};
}

// A property of an owned object, through its getter and setter.
template <typename Object, typename Result, typename Argument>
auto Property(Object& object, Result (Object::*get)() const, void (Object::*set)(Argument)) {
  using T = std::decay_t<Result>;
  return Access<T>{[&object, get] { return T((object.*get)()); }, [&object, set](const T& v) { (object.*set)(v); }};
}

}  // namespace

// One line of an import specification: how the setting is written and how
// the written text is read back into the same place.
struct SpecificationSetting {
  UnicodeString name;
  std::function<UnicodeString()> write;
  std::function<void(const Reader&)> read;
};

namespace {

// Kinds of settings: texts with escapes, numbers, flags and characters by
// their codes, enumerations by codes that name a member.
SpecificationSetting Text(const UnicodeString& name, Access<UnicodeString> a) {
  return {name, [a] { return Escape(a.get()); }, [a, name](const Reader& r) { a.set(r.Text(name, a.get())); }};
}

SpecificationSetting Number(const UnicodeString& name, Access<int32_t> a) {
  return {name, [a] { return Num(a.get()); }, [a, name](const Reader& r) { a.set(r.Int(name, a.get())); }};
}

SpecificationSetting Flag(const UnicodeString& name, Access<bool> a) {
  return {name, [a] { return Num(a.get()); }, [a, name](const Reader& r) { a.set(r.Int(name, a.get()) != 0); }};
}

SpecificationSetting Char(const UnicodeString& name, Access<char16_t> a) {
  return {name, [a] { return Num(a.get()); },
          [a, name](const Reader& r) { a.set(static_cast<char16_t>(r.Int(name, a.get()))); }};
}

template <typename E>
SpecificationSetting Enum(const UnicodeString& name, Access<E> a) {
  return {name, [a] { return Num(a.get()); }, [a, name](const Reader& r) {
            const int32_t code = r.Int(name, a.get());
            if (code >= 0 && code < kMemberCount<E>) a.set(static_cast<E>(code));
          }};
}

// The settings of one parameter, named after `prefix`.
std::vector<SpecificationSetting> ParameterSettings(TSMIParameter& p, const UnicodeString& prefix) {
  using P = TSMIParameter;
  TStringList& prompts = p.ParamPromptValues();
  return {
      Text(prefix + u"Name", Property(p, &P::Name, &P::SetName)),
      Text(prefix + u"Caption", Property(p, &P::Caption, &P::SetCaption)),
      Text(prefix + u"Expression", Property(p, &P::Expression, &P::SetExpression)),
      Text(prefix + u"Description", Property(p, &P::Description, &P::SetDescription)),
      Text(prefix + u"PromptValues", {[&prompts] { return prompts.Text(); },
                                      [&prompts](const UnicodeString& v) { prompts.SetText(v); }}),
      Enum(prefix + u"Editor", Property(p, &P::ParameterEditor, &P::SetParameterEditor)),
      Enum(prefix + u"Mode", Property(p, &P::ParameterMode, &P::SetParameterMode)),
      Flag(prefix + u"Required", Property(p, &P::Required, &P::SetRequired)),
  };
}

UnicodeString ParameterPrefix(int32_t i) { return u"Parameters." + Num(i) + u"."; }

}  // namespace

std::vector<SpecificationSetting> TSMImportBaseComponent::SpecificationSettings() {
  using F = TSMIDataFormats;
  TSMIDataFormats& f = *FDataFormats;
  TSMISQLFieldNameOptions& quotes = FSQLOptions.FieldNameOptions();
  // The set's bits beyond its six members are not read back.
  Access<int32_t> options{[this] { return int32_t{FOptions.Bits()}; },
                          [this](const int32_t& v) { FOptions = TSMIOptions(static_cast<uint8_t>(v & 0x3F)); }};
  return {
      Enum(u"TableType", Field(FTableType)),
      Text(u"SourceFileName", Field(FSourceFileName)),
      Text(u"TableName", Field(FTableName)),
      Enum(u"Mode", Field(FMode)),
      Enum(u"ActionKind", Field(FActionKind)),
      Number(u"Options", options),
      Flag(u"AbortOnProblem", Field(FAbortOnProblem)),
      Flag(u"AnimatedStatus", Field(FAnimatedStatus)),
      Enum(u"CharacterSet", Field(FCharacterSet)),
      Text(u"DatasetKeys", Field(FDatasetKeys)),
      Text(u"TitleStatus", Field(FTitleStatus)),
      Flag(u"UseDisplayNames", Field(FUseDisplayNames)),
      Enum(u"TrimSpaces", Field(FTrimSpaces)),
      Number(u"CommitCount", Field(FCommitCount)),
      Number(u"RowFirst", Field(FRowFirst)),
      Number(u"RowLast", Field(FRowLast)),
      Number(u"RowFieldNames", Field(FRowFieldNames)),
      Number(u"MaxScanRows", Field(FMaxScanRows)),
      Enum(u"FieldDelimiter", Field(FFieldDelimiter)),
      Char(u"FieldDelimiterCustom", Field(FFieldDelimiterCustom)),
      Enum(u"TextQualifier", Field(FTextQualifier)),
      Char(u"TextQualifierCustom", Field(FTextQualifierCustom)),
      Enum(u"RecordSeparator", Field(FRecordSeparator)),
      Text(u"RecordSeparatorCustom", Field(FRecordSeparatorCustom)),
      Flag(u"Fixed", Field(FFixed)),
      Text(u"LoadWhen", Property(FLoadCondition, &TSMILoadCondition::LoadWhen, &TSMILoadCondition::SetLoadWhen)),
      Text(u"SkipIf", Property(FLoadCondition, &TSMILoadCondition::SkipIf, &TSMILoadCondition::SetSkipIf)),
      Enum(u"SQLFieldNameCharCase",
           Property(FSQLOptions, &TSMISQLOptions::FieldNameCharCase, &TSMISQLOptions::SetFieldNameCharCase)),
      Char(u"SQLQuote", Property(FSQLOptions, &TSMISQLOptions::SQLQuote, &TSMISQLOptions::SetSQLQuote)),
      Text(u"SQLTerm", Property(FSQLOptions, &TSMISQLOptions::SQLTerm, &TSMISQLOptions::SetSQLTerm)),
      Char(u"SQLQuoteOpen",
           Property(quotes, &TSMISQLFieldNameOptions::SQLQuoteOpen, &TSMISQLFieldNameOptions::SetSQLQuoteOpen)),
      Char(u"SQLQuoteClose",
           Property(quotes, &TSMISQLFieldNameOptions::SQLQuoteClose, &TSMISQLFieldNameOptions::SetSQLQuoteClose)),
      Enum(u"DateOrder", Property(f, &F::DateOrder, &F::SetDateOrder)),
      Char(u"DateSeparator", Property(f, &F::DateSeparator, &F::SetDateSeparator)),
      Char(u"TimeSeparator", Property(f, &F::TimeSeparator, &F::SetTimeSeparator)),
      Flag(u"FourDigitYear", Property(f, &F::FourDigitYear, &F::SetFourDigitYear)),
      Flag(u"LeadingZerosInDate", Property(f, &F::LeadingZerosInDate, &F::SetLeadingZerosInDate)),
      Text(u"CustomDateTimeFormat", Property(f, &F::CustomDateTimeFormat, &F::SetCustomDateTimeFormat)),
      Char(u"ThousandSeparator", Property(f, &F::ThousandSeparator, &F::SetThousandSeparator)),
      Char(u"DecimalSeparator", Property(f, &F::DecimalSeparator, &F::SetDecimalSeparator)),
      Text(u"CurrencyString", Property(f, &F::CurrencyString, &F::SetCurrencyString)),
      Text(u"BooleanTrue", Property(f, &F::BooleanTrue, &F::SetBooleanTrue)),
      Text(u"BooleanFalse", Property(f, &F::BooleanFalse, &F::SetBooleanFalse)),
      Flag(u"UseRegionalSettings", Property(f, &F::UseRegionalSettings, &F::SetUseRegionalSettings)),
  };
}

void TSMImportBaseComponent::SaveSpecificationToStream(std::ostream* stream) {
  if (!stream) return;
  TStringList out;
  auto put = [&out](const std::vector<SpecificationSetting>& settings) {
    for (const SpecificationSetting& s : settings) out.Add(s.name + u"=" + s.write());
  };
  put(SpecificationSettings());
  out.Add(u"Mappings.Count=" + Num(FMappings.Count()));
  for (int32_t i = 0; i < FMappings.Count(); ++i)
    out.Add(u"Mappings." + Num(i) + u"=" + Escape(FMappings.Strings(i)));
  out.Add(u"Parameters.Count=" + Num(FParameters.Count()));
  for (int32_t i = 0; i < FParameters.Count(); ++i) put(ParameterSettings(*FParameters.Items(i), ParameterPrefix(i)));
  *stream << ToUtf8(out.Text());
}

void TSMImportBaseComponent::LoadSpecificationFromStrings(const TStringList& lines) {
  const Reader r(lines);
  auto get = [&r](const std::vector<SpecificationSetting>& settings) {
    for (const SpecificationSetting& s : settings) s.read(r);
  };
  get(SpecificationSettings());
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
    for (int32_t i = 0; i < count; ++i) get(ParameterSettings(*FParameters.Add(), ParameterPrefix(i)));
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

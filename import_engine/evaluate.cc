// Evaluation of one cell: the source text goes to the expression calculator
// (or, for text sources' "Text..." names, straight to the hook); the hook
// EvaluateName resolves the name and shapes the value for its destination
// field.
#include <new>
#include <string_view>

#include "dataset/t_data_set.h"
#include "import_engine/field_value_conversion.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_data_formats.h"
#include "import_engine/t_smi_import_base_component.h"
#include "import_engine/t_smi_parser.h"

using namespace std::string_view_literals;  // a view compares its length first

namespace {

bool EnclosedIn(const UnicodeString& text, char16_t open, char16_t close) {
  return text.size() >= 2 && text.front() == open && text.back() == close;
}

// Removes one enclosing pair of `open` and `close` characters.
void StripPair(UnicodeString& text, char16_t open, char16_t close) {
  if (EnclosedIn(text, open, close)) text = text.substr(1, text.size() - 2);
}

// Adds one to a counter for the time it lives, also when left by an exception.
class DepthScope {
 public:
  explicit DepthScope(int32_t& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int32_t& depth_;
};

// Whether UpperCase of a name can begin with L or S, the first letter of
// every special name. Letters beyond ASCII may fold to either.
bool MayFoldToLOrS(char16_t c) { return c == u'L' || c == u'l' || c == u'S' || c == u's' || c >= 0x80; }

// The items of a ";"-separated list (a trailing ";" adds no empty item).
std::vector<UnicodeString> SplitList(const UnicodeString& text) {
  std::vector<UnicodeString> items;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u';', start);
    if (end == UnicodeString::npos) end = text.size();
    items.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

UnicodeString ArgumentText(const std::vector<Variant>& args, size_t i) {
  return i < args.size() ? args[i].ToString() : UnicodeString();
}

// SUBSTITUTE(value; from list; to list): the item of the second list at the
// place of the first item of the first list that equals the value, or Null.
Variant Substitute(const std::vector<Variant>& args) {
  const UnicodeString needle = ArgumentText(args, 0);
  const std::vector<UnicodeString> from = SplitList(ArgumentText(args, 1));
  const std::vector<UnicodeString> to = SplitList(ArgumentText(args, 2));
  for (size_t i = 0; i < from.size() && i < to.size(); ++i)
    if (from[i] == needle) return Variant(to[i]);
  return Variant::Null();
}

// The run's counters a source expression can name.
struct StatisticName {
  std::u16string_view name;
  int32_t (TSMIStatistic::*counter)() const;
};
constexpr StatisticName kStatisticNames[] = {
    {u"STATTOTALCOUNT", &TSMIStatistic::TotalCount},     {u"STATTOTALIMPORTED", &TSMIStatistic::TotalImported},
    {u"STATTOTALADDED", &TSMIStatistic::TotalAdded},     {u"STATTOTALDELETED", &TSMIStatistic::TotalDeleted},
    {u"STATTOTALUPDATED", &TSMIStatistic::TotalUpdated}, {u"STATERRORCOUNT", &TSMIStatistic::TotalErrors},
    {u"STATTOTALSKIPPED", &TSMIStatistic::TotalSkipped},
};

// A text value loses one enclosing pair of "[" "]" and then one of double
// quotes.
void StripQuoting(Variant& value) {
  if (!value.IsString()) return;
  const UnicodeString& text = value.AsStringRef();
  if (!EnclosedIn(text, u'[', u']') && !EnclosedIn(text, u'"', u'"')) return;
  UnicodeString stripped = text;
  StripPair(stripped, u'[', u']');
  StripPair(stripped, u'"', u'"');
  value = Variant(std::move(stripped));
}

}  // namespace

void TSMImportBaseComponent::EvaluateSourceExpression(const UnicodeString& source, int32_t fieldIndex,
                                                      Variant& value) {
  if ((FTableType == teText || FTableType == teClipboard) && source.compare(0, 4, u"Text") == 0) {
    value = Variant(source);
    bool done = false;
    EvaluateName(this, source, {}, 0, false, value, done);
    return;
  }
  auto hook = [this](TPersistent* sender, const UnicodeString& name, const std::vector<Variant>& args,
                     int32_t argCount, bool isChild, Variant& v, bool& done) {
    EvaluateName(sender, name, args, argCount, isChild, v, done);
  };
  if (fieldIndex < 0 || evaluationDepth_ > 0) {
    TSMIParser parser(source, hook);
    value = parser.Evaluate();
    return;
  }
  // A cell: the same few texts come back row after row.
  DepthScope depth(evaluationDepth_);
  if (!cellParser_.OnEvaluate()) cellParser_.SetOnEvaluate(hook);
  cellParser_.SetExpression(source);
  cellParser_.Evaluate(sourceExpressions_.Get(static_cast<size_t>(fieldIndex), source), value);
}

TDataSet* TSMImportBaseComponent::FindNamedDataSet(UnicodeStringView name) const {
  if (name.empty()) return nullptr;
  if (auto* ds = dynamic_cast<TDataSet*>(Application().FindComponent(name))) return ds;
  // The form: the component's owner, or the owner's owner when the owner is
  // itself an import component.
  TComponent* form = Owner();
  if (dynamic_cast<TSMImportBaseComponent*>(form)) form = form->Owner();
  if (form) {
    if (auto* ds = dynamic_cast<TDataSet*>(form->FindComponent(name))) return ds;
  }
  return dynamic_cast<TDataSet*>(FindComponent(name));
}

void TSMImportBaseComponent::EvaluateName(TPersistent* sender, const UnicodeString& name,
                                          const std::vector<Variant>& args, int32_t argCount, bool isChild,
                                          Variant& value, bool& done) {
  done = (argCount == 0);
  StripQuoting(value);
  // The name to resolve outlives `value`, which resolving replaces. A cell's
  // plain name arrives as both the name and the value: the name serves then,
  // and the value's text is not copied for every cell.
  UnicodeString copy;
  const bool nameIsValue = value.IsString() && SameUnits(value.AsStringRef(), name);
  if (!nameIsValue) copy = value.IsString() ? value.AsStringRef() : value.ToString();
  const UnicodeString& n = nameIsValue ? name : copy;
  if (!ResolveSpecialName(n, args, argCount, value)) ResolveName(n, value);
  if (FOnParserEvaluate) FOnParserEvaluate(sender, name, args, argCount, isChild, value, done);
  ShapeValue(sender, isChild, value);
}

bool TSMImportBaseComponent::ResolveSpecialName(const UnicodeString& n, const std::vector<Variant>& args,
                                                int32_t argCount, Variant& value) {
  // Every special name starts with L or S and has 6 to 17 characters; most
  // names are column names, which this test lets through without folding.
  const bool maybeSpecial = n.size() >= 6 && n.size() <= 17 && MayFoldToLOrS(n[0]) &&
                            (UpperCase(n.substr(0, 1)) == u"L" || UpperCase(n.substr(0, 1)) == u"S");
  if (!maybeSpecial) return false;
  const UnicodeString upper = UpperCase(n);

  if (upper == u"LOOKUP"sv && argCount >= 4) {
    value = Variant::Null();
    if (TDataSet* ds = FindNamedDataSet(ArgumentText(args, 0))) {
      if (ds->Locate(ArgumentText(args, 1), args[2], {})) {
        UnicodeString fieldName = ArgumentText(args, 3);
        StripPair(fieldName, u'~', u'~');
        value = ds->FieldByName(fieldName)->AsVariant();
      }
    }
    return true;
  }
  if (upper == u"SUBSTITUTE"sv && argCount >= 3) {
    value = Substitute(args);
    return true;
  }
  for (const StatisticName& statistic : kStatisticNames) {
    if (upper == statistic.name) {
      value = Variant((FStatistic.*statistic.counter)());
      return true;
    }
  }
  return false;
}

void TSMImportBaseComponent::ResolveName(const UnicodeString& n, Variant& value) {
  bool resolved = false;
  if (FParameters.Count() > 0) {
    if (TSMIParameter* parameter = FParameters.ParamByName(n)) {
      value = parameter->Value();
      resolved = true;
    }
  }
  const size_t dot = n.find(u'.');
  if (!resolved && dot != UnicodeString::npos) {
    if (TDataSet* ds = FindNamedDataSet(UnicodeStringView(n).substr(0, dot))) {
      if (TField* field = ds->FindField(UnicodeStringView(n).substr(dot + 1))) {
        value = field->AsVariant();
        resolved = true;
      }
    }
  }
  if (!resolved) GetSourceValue(n, value);
  if (FOnParsedValue) {
    TField* field =
        (intCurrentParsedFieldIndex != -1 && FDataSet) ? FDataSet->Fields(intCurrentParsedFieldIndex) : nullptr;
    FOnParsedValue(this, field, value);
  }
}

void TSMImportBaseComponent::ShapeValue(TPersistent* sender, bool isChild, Variant& value) {
  if (value.IsString()) {
    switch (FTrimSpaces) {
      case tsTrimRight: value = Variant(TrimRight(value.AsStringRef())); break;
      case tsTrimLeft: value = Variant(TrimLeft(value.AsStringRef())); break;
      case tsTrimLeftRight: value = Variant(Trim(value.AsStringRef())); break;
      case tsNoTrim: break;
    }
  }

  if (import_run::HasEmptyText(value)) {
    value = Variant::Null();
    return;
  }

  if (!isChild && intCurrentParsedFieldIndex != -1 && FDataSet) {
    // A value the rules cannot convert stays as it is; the field's own
    // conversion decides when the row is written.
    try {
      const TField& field = *FDataSet->Fields(intCurrentParsedFieldIndex);
      // The cells' own calculator first: it is the sender nearly every time.
      const bool calledByCalculator = sender == &cellParser_ || dynamic_cast<TSMIParser*>(sender) != nullptr;
      ConvertForField(value, field, *FDataFormats, FTableType, IsXMLSource(), calledByCalculator);
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
    }
  }
}

// TSMIParameter and TSMIParameters: named values the expression calculator
// can read, set before each run by the component's AskParameters.
//
// TSMIParameters is owned by the import component and owns its items; a
// TSMIParameter* stays valid until Clear or the collection's destruction.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "import_engine/smi_types.h"
#include "runtime/component.h"
#include "runtime/string_list.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class TSMIParameter : public TPersistent {
 public:
  UnicodeString ClassName() const override { return u"TSMIParameter"; }
  // Copies every setting and the value.
  void Assign(const TPersistent& source) override;

  const UnicodeString& Caption() const { return caption_; }
  void SetCaption(const UnicodeString& v) { caption_ = v; }
  const UnicodeString& Name() const { return name_; }
  void SetName(const UnicodeString& v) { name_ = v; }
  const UnicodeString& Expression() const { return expression_; }
  void SetExpression(const UnicodeString& v) { expression_ = v; }
  const UnicodeString& Description() const { return description_; }
  void SetDescription(const UnicodeString& v) { description_ = v; }
  TStringList& ParamPromptValues() { return promptValues_; }
  const TStringList& ParamPromptValues() const { return promptValues_; }
  void SetParamPromptValues(const TStringList& v) { promptValues_.Assign(v); }
  TSMIParameterEditor ParameterEditor() const { return editor_; }
  void SetParameterEditor(TSMIParameterEditor v) { editor_ = v; }
  TSMIParameterMode ParameterMode() const { return mode_; }
  void SetParameterMode(TSMIParameterMode v) { mode_ = v; }
  bool Required() const { return required_; }
  void SetRequired(bool v) { required_ = v; }
  // The run-time value.
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }

 private:
  UnicodeString caption_;
  UnicodeString name_;
  UnicodeString expression_;
  UnicodeString description_;
  TStringList promptValues_;
  TSMIParameterEditor editor_ = ipeEdit;
  TSMIParameterMode mode_ = ipmCalculateAndAsk;
  bool required_ = false;
  Variant value_;
};

class TSMIParameters : public TPersistent {
 public:
  TSMIParameters() = default;
  TSMIParameters(const TSMIParameters&) = delete;
  TSMIParameters& operator=(const TSMIParameters&) = delete;
  UnicodeString ClassName() const override { return u"TSMIParameters"; }
  // Replaces the items by copies of another collection's items.
  void Assign(const TPersistent& source) override;

  TSMIParameter* Add();
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Item at a 0-based index; ERangeError outside.
  TSMIParameter* Items(int32_t index) const;
  void Clear() { items_.clear(); }
  // The first item whose Name equals `name` exactly (case-sensitive), or nullptr.
  TSMIParameter* ParamByName(UnicodeStringView name) const;

 private:
  std::vector<std::unique_ptr<TSMIParameter>> items_;
};

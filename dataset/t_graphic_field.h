// TGraphicField: a blob holding a picture (ftGraphic); stored and converted
// like any blob.
#pragma once

#include "dataset/t_blob_field.h"

class TGraphicField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  UnicodeString ClassName() const override { return u"TGraphicField"; }
};

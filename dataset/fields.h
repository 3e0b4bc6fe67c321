// Every field kind of the dataset, for callers that test or create kinds.
#pragma once

#include "dataset/t_bcd_field.h"
#include "dataset/t_blob_field.h"
#include "dataset/t_boolean_field.h"
#include "dataset/t_bytes_field.h"
#include "dataset/t_date_time_field.h"
#include "dataset/t_field.h"
#include "dataset/t_float_field.h"
#include "dataset/t_graphic_field.h"
#include "dataset/t_integer_field.h"
#include "dataset/t_largeint_field.h"
#include "dataset/t_memo_field.h"
#include "dataset/t_string_field.h"

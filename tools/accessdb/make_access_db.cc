// make-access-db: writes Access database files for tests, the demo and benchmarks.
//
//   make-access-db tables TABLES.json OUT
//   make-access-db outline OUT [--variant arvoline|gleanery] [--format jet3|jet4]
//                  [--codepage CP] [--two-byte-text] [--memos-out-of-row]
//                  (--from OUTLINE.json | --nodes N --depth D --content-bytes K --seed S)
#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "tools/accessdb/json_tables.h"
#include "tools/accessdb/outline_database.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes Access (Jet 3 / Jet 4) database files"};
  app.require_subcommand(1);

  std::string tables_json, tables_out;
  CLI::App* tables = app.add_subcommand("tables", "write the tables a JSON file describes");
  tables->add_option("TABLES.json", tables_json, "table description")->required();
  tables->add_option("OUT", tables_out, "database file to write")->required();

  std::string outline_out, variant = "arvoline", format = "jet4", from;
  accessdb::GeneratorOptions gen;
  int code_page = 1252;
  CLI::App* outline = app.add_subcommand("outline", "write an Arvoline or Gleanery outline database");
  outline->add_option("OUT", outline_out, "database file to write")->required();
  outline->add_option("--variant", variant, "arvoline or gleanery")
      ->check(CLI::IsMember({"arvoline", "gleanery"}));
  outline->add_option("--format", format, "jet3 or jet4")->check(CLI::IsMember({"jet3", "jet4"}));
  outline->add_option("--codepage", code_page, "code page of the outline's byte counts");
  bool two_byte_text = false, memos_out_of_row = false;
  outline->add_flag("--two-byte-text", two_byte_text, "Jet 4: store text two bytes a character, never compressed");
  outline->add_flag("--memos-out-of-row", memos_out_of_row, "store every memo on long-value pages, short ones too");
  CLI::Option* from_opt = outline->add_option("--from", from, "OUTLINE.json: list of {parent, key, title, content}");
  CLI::Option* nodes_opt = outline->add_option("--nodes", gen.nodes, "generated tree: number of nodes");
  CLI::Option* depth_opt = outline->add_option("--depth", gen.depth, "generated tree: levels");
  CLI::Option* content_opt = outline->add_option("--content-bytes", gen.content_bytes, "generated tree: bytes of content per node");
  CLI::Option* seed_opt = outline->add_option("--seed", gen.seed, "generated tree: random seed");
  for (CLI::Option* o : {nodes_opt, depth_opt, content_opt, seed_opt}) o->excludes(from_opt);

  CLI11_PARSE(app, argc, argv);
  try {
    if (tables->parsed()) {
      std::ifstream in(tables_json, std::ios::binary);
      if (!in) throw std::invalid_argument("cannot read " + tables_json);
      accessdb::WriteTablesJson(in, tables_out);
    } else {
      accessdb::OutlineOptions options;
      options.variant = variant == "gleanery" ? accessdb::OutlineVariant::kGleanery
                                              : accessdb::OutlineVariant::kArvoline;
      options.format = format == "jet3" ? accessdb::Format::kJet3 : accessdb::Format::kJet4;
      options.code_page = code_page;
      options.compress_text = !two_byte_text;
      options.long_values_in_row = !memos_out_of_row;
      if (!from.empty()) {
        accessdb::WriteOutlineDatabase(outline_out, options, accessdb::ReadOutlineJson(from));
      } else {
        accessdb::WriteGeneratedOutlineDatabase(outline_out, options, gen);
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "make-access-db: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

# shellcheck shell=bash
# Per-target libFuzzer options, sourced by run-fuzzers and
# scripts/fuzz-campaign: the longest input worth trying (-max_len; longer
# ones only repeat what a parser has already met, at more cost) and the
# dictionary of the format's tokens.
#   fuzz_target_options TARGET      prints the options, one a line
#   fuzz_seed_dirs TARGET SEEDS     prints the target's seed folders: its
#     own in SEEDS (made by make-seeds) and, for the HEX reader, the shared
#     HEX corpus beside the checkout (LW_HEX_CORPUS), read where it lies

fuzz_options_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fuzz_target_options() {
  local t=$1 max dict
  case $t in
    fuzz_intel_hex) max=4096 dict=intel_hex ;;           # a few dozen records
    fuzz_srecord) max=4096 dict=srecord ;;
    fuzz_elf_image) max=16384 dict=elf_image ;;          # the toggle example is 9 KiB
    fuzz_project_reader | fuzz_project_reader_repaired | fuzz_request_form)
      max=2048 dict=project_reader ;;                    # a record with its names is under 1 KiB
    fuzz_keyed_tables) max=2048 dict=keyed_tables ;;     # each lookup walks the table
    fuzz_emulator_state) max=1024 dict=emulator_state ;;  # its files are under 1 KiB
    fuzz_adapter_answers) max=256 dict=adapter_answers ;; # mode byte + a 129-byte report
    fuzz_update_ini) max=1024 dict=update_ini ;;
    fuzz_http_response) max=9216 dict=http_response ;;   # past the 8 KiB line bound
    fuzz_offline_dialog) max=128 dict=offline_dialog ;;  # four short fields
    fuzz_production_rows) max=4096 dict=production_rows ;; # a header and a few rows
    *) max=4096 dict= ;;
  esac
  echo "-max_len=$max"
  [ -n "$dict" ] && echo "-dict=$fuzz_options_dir/dict/$dict.dict"
  return 0
}

fuzz_seed_dirs() {
  local t=$1 seeds=$2
  local hexcorpus=${LW_HEX_CORPUS:-$fuzz_options_dir/../../../shared/hexcorpus}
  [ -d "$seeds/$t" ] && echo "$seeds/$t"
  [ "$t" = fuzz_intel_hex ] && [ -d "$hexcorpus" ] && (cd "$hexcorpus" && pwd)
  return 0
}

#!/usr/bin/env bash
# The codec module in the simulated kernel: a few setter calls, the kernel log
# they cause (standard error), then /proc/ti_tlv320 with the decoded settings.
set -euo pipefail
sim="$BUILD/bin/aic31-sim"
echo "--- aic31-sim 'ti_pll_program_reg_b(0)' 'ti_set_sampling_rate(44100)' 'ti_left_dac_volume_ctrl(1,20)' 'ti_get_mod_power_status()'"
"$sim" 'ti_pll_program_reg_b(0)' 'ti_set_sampling_rate(44100)' 'ti_left_dac_volume_ctrl(1,20)' \
       'ti_get_mod_power_status()' 2>&1
echo "--- aic31-sim --trace 'ti_change_page(1)' 'ti_clock_gen_control(1,0)': the transfers after load"
"$sim" --trace 'ti_change_page(1)' 'ti_clock_gen_control(1,0)' 2>&1 | sed -n '/reg 0x00 <- 0x01/,/read i2c block/p'
echo "--- aic31-sim --no-codec 'ti_software_reset()'"
"$sim" --no-codec 'ti_software_reset()' 2>&1

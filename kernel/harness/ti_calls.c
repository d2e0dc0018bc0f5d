#include <string.h>

#include "ti_tlv320aic31.h"
#include "ti_calls.h"

/* name, number of arguments, whether a value comes back */
#define TI_EXPORTS(X) \
	X(ti_change_page, 1, VALUE) \
	X(ti_smbus_read, 0, VOID) \
	X(ti_get_mod_power_status, 0, VALUE) \
	X(ti_get_codec_overflow_status, 0, VALUE) \
	X(ti_codec_rate_select, 1, VALUE) \
	X(ti_pll_program_reg_a, 3, VALUE) \
	X(ti_pll_program_reg_b, 1, VALUE) \
	X(ti_pll_program_reg_c_and_d, 1, VALUE) \
	X(ti_set_pll_r, 1, VALUE) \
	X(ti_codec_datapath, 4, VALUE) \
	X(ti_serial_data_interface_control_reg_a, 5, VALUE) \
	X(ti_serial_data_interface_control_reg_b, 6, VALUE) \
	X(ti_serial_data_interface_control_reg_c, 1, VALUE) \
	X(ti_digital_filter_ctrl, 6, VALUE) \
	X(ti_dac_power_and_output_ctrl, 3, VALUE) \
	X(ti_dac_output_switching_ctrl, 3, VALUE) \
	X(ti_left_dac_volume_ctrl, 2, VALUE) \
	X(ti_right_dac_volume_ctrl, 2, VALUE) \
	X(ti_left_lopm_output_level_ctrl, 3, VALUE) \
	X(ti_right_lopm_output_level_ctrl, 3, VALUE) \
	X(ti_clock_gen_control, 2, VALUE) \
	X(ti_set_sampling_rate, 1, VALUE) \
	X(ti_init_zorlan_config, 0, VALUE) \
	X(ti_software_reset, 0, VALUE)

#define TI_ARGS_0
#define TI_ARGS_1 a[0]
#define TI_ARGS_2 a[0], a[1]
#define TI_ARGS_3 a[0], a[1], a[2]
#define TI_ARGS_4 a[0], a[1], a[2], a[3]
#define TI_ARGS_5 a[0], a[1], a[2], a[3], a[4]
#define TI_ARGS_6 a[0], a[1], a[2], a[3], a[4], a[5]

/* The pointer gets the export's own type, so the compiler checks each call. */
#define TI_CALL(fn, n) ((__typeof__(&fn))sym)(TI_ARGS_##n)

#define TI_BODY_VOID(fn, n) \
	TI_CALL(fn, n); \
	res.is_void = 1;
#define TI_BODY_VALUE(fn, n) \
	{ \
		__typeof__(TI_CALL(fn, n)) v = TI_CALL(fn, n); \
		res.is_unsigned = (__typeof__(v))-1 > 0; \
		res.value = (long long)v; \
	}

/* TI_CALL appears twice in TI_BODY_VALUE, but __typeof__ does not evaluate. */
#define TI_DEFINE(fn, n, kind) \
	static struct ti_result call_##fn(void (*sym)(void), const long long *a) \
	{ \
		struct ti_result res = { 0, 0, 0 }; \
		(void)a; \
		TI_BODY_##kind(fn, n) \
		return res; \
	}
#define TI_ROW(fn, n, kind) { #fn, n, call_##fn },

TI_EXPORTS(TI_DEFINE)

static const struct ti_call calls[] = {
	TI_EXPORTS(TI_ROW)
};

const struct ti_call *ti_call_find(const char *name)
{
	size_t i;

	for (i = 0; i < sizeof(calls) / sizeof(calls[0]); i++)
		if (strcmp(calls[i].name, name) == 0)
			return &calls[i];
	return NULL;
}

size_t ti_call_count(void)
{
	return sizeof(calls) / sizeof(calls[0]);
}

const struct ti_call *ti_call_at(size_t index)
{
	return index < ti_call_count() ? &calls[index] : NULL;
}

const char *aic31_module_path(void)
{
	return AIC31_MODULE_PATH;
}

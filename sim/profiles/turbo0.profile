# A device without turbo (super) modes on either band (turbomodes 0); the 802.11a radio
# nevertheless reports static turbo as its super mode, which the module shows as
# "Super Mode without Turbo".
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.2.1 integer ro 0 name=turbomodes.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.2.2 integer ro 0 name=turbomodes.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.11.1 integer rw 2 enum=1,2,3,4 name=adSuperMode.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 integer rw 42 enum=36,40,42,44,48,50,52,56,58,60,64,149,152,153,157,160,161,165 name=hChannel.1
